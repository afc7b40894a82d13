// The Qt Test stand-in's own behaviour, run as a test that must fail in known ways
// (tests/windows.cmake checks its output and exit code): QVERIFY2 and QFAIL fail with their
// messages, QSKIP skips, a data function's rows run one by one with init and cleanup around each,
// and the exit code counts the failures.
#include <QTest>

class TestStandIn : public QObject {
    Q_OBJECT

private slots:
    void init() { ++inits; }
    void cleanup() { ++cleanups; }
    void verifyFails();
    void failFails();
    void skipSkips();
    void rowsRunOneByOne_data();
    void rowsRunOneByOne();
    void initAndCleanupRanAroundEach();

private:
    int inits = 0;
    int cleanups = 0;
    int rows = 0;
};

void TestStandIn::verifyFails() {
    const int value = 1;
    QVERIFY2(value == 2, "planted");
    QFAIL("not reached after a failed QVERIFY2");
}

void TestStandIn::failFails() {
    QFAIL("planted failure");
}

void TestStandIn::skipSkips() {
    QSKIP("planted skip");
    QFAIL("not reached after QSKIP");
}

void TestStandIn::rowsRunOneByOne_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<std::string>("tag");
    QTest::newRow("first") << 1 << std::string("first");
    QTest::addRow("row %d", 2) << 2 << std::string("row 2");
    QTest::newRow("third") << 3 << std::string("third");
}

void TestStandIn::rowsRunOneByOne() {
    QFETCH(int, row);
    QFETCH(std::string, tag);
    QCOMPARE(row, ++rows);
    QVERIFY(!tag.empty());
    QCOMPARE(row, 1); // fails in the rows after the first
}

void TestStandIn::initAndCleanupRanAroundEach() {
    // Three functions and three rows before this one.
    QCOMPARE(inits, 7);
    QCOMPARE(cleanups, 6);
}

QTEST_GUILESS_MAIN(TestStandIn)
#include "tst_standin.moc"
