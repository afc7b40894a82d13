#pragma once

// A small stand-in for Qt Test, so that the toolkit-free tests and the Win32 window's tests build
// for Windows, where there is no Qt. It keeps Qt Test's spelling and output for the part the tests
// use: test classes whose private slots are the test functions, data rows by addColumn, newRow
// and addRow, QFETCH, QCOMPARE, QVERIFY, QVERIFY2, QFAIL and QSKIP, and QTEST_MAIN. The slots are
// listed by the generated NAME.moc (tests/win/moc.cmake), which the test file includes at its end.
// The exit code is the number of failed test functions and rows, as Qt Test's.

#include <algorithm>
#include <any>
#include <cmath>
#include <concepts>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <functional>
#include <ranges>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeinfo>
#include <utility>
#include <vector>

namespace QTest::Internal {
class SlotSink;
} // namespace QTest::Internal

class QObject {
public:
    virtual ~QObject() = default;
    // Defined for each test class by its NAME.moc: hands each private slot to the runner.
    virtual void qt_testSlots(QTest::Internal::SlotSink&) {}
};

// Declares the member that NAME.moc defines; it is a member so that it may name private slots.
#define Q_OBJECT                                                                                   \
public:                                                                                            \
    void qt_testSlots(QTest::Internal::SlotSink& sink) override;                                   \
                                                                                                   \
private:
#define slots
#define Q_DECLARE_METATYPE(Type)

// Only what the tests use: text made from a std::string, for QTest::toString.
class QString {
public:
    static QString fromStdString(const std::string& text) { return QString(text); }
    std::string toStdString() const { return text_; }

private:
    explicit QString(std::string text)
        : text_(std::move(text)) {}
    std::string text_;
};

namespace QTestLookup {
// Hides every other toString, so that only one declared next to the type itself is found.
void toString() = delete;
// A type whose own toString(const T&) returning char* is declared next to it.
template <typename T>
concept HasOwnToString = requires(const T& value) {
    { toString(value) } -> std::same_as<char*>;
};
} // namespace QTestLookup

namespace QTest {

// A copy the caller frees with delete[], as Qt Test's toString returns.
inline char* toString(std::string_view text) {
    char* copy = new char[text.size() + 1];
    std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    return copy;
}
inline std::string Quoted(std::string_view text) {
    std::string quoted(1, '"');
    quoted.append(text).push_back('"');
    return quoted;
}
inline char* toString(const QString& text) {
    return toString(Quoted(text.toStdString()));
}

namespace Internal {

template <typename T> std::string Describe(const T& value) {
    if constexpr (std::is_same_v<T, bool>) {
        return value ? "true" : "false";
    } else if constexpr (std::is_same_v<T, char>) {
        return std::string("'") + value + "'";
    } else if constexpr (std::is_arithmetic_v<T> || std::is_enum_v<T>) {
        if constexpr (std::is_enum_v<T>)
            return std::to_string(static_cast<std::underlying_type_t<T>>(value));
        else
            return std::to_string(value);
    } else if constexpr (std::is_convertible_v<const T&, std::string_view>) {
        return Quoted(value);
    } else if constexpr (QTestLookup::HasOwnToString<T>) {
        char* text = toString(value);
        std::string copy = text ? text : "";
        delete[] text;
        return copy;
    } else if constexpr (std::ranges::input_range<const T>) {
        std::string items;
        for (const auto& item : value)
            items += (items.empty() ? "" : ", ") + Describe(item);
        return "{" + items + "}";
    } else {
        return "(no text for " + std::string(typeid(T).name()) + ")";
    }
}

// One data row: its tag and its values in column order.
struct Row {
    std::string tag;
    std::vector<std::any> values;
};

struct Column {
    std::string name;
    const std::type_info* type;
};

enum class Outcome { Pass, Fail, Skip };

// The runner's state for the test function that runs now.
struct Current {
    std::vector<Column> columns;
    std::vector<Row> rows;
    const Row* row = nullptr;
    Outcome outcome = Outcome::Pass;
    std::string failure;
};
Current& Now();

[[noreturn]] void Fatal(const std::string& message);
void Fail(const std::string& message, const char* file, int line);
void Skip(const std::string& message, const char* file, int line);

class SlotSink {
public:
    struct Slot {
        std::string name;
        std::function<void()> run;
        std::function<void()> data; // empty where the slot has no NAME_data
    };
    void SetClassName(std::string name) { className_ = std::move(name); }
    void Add(std::string name, std::function<void()> run, std::function<void()> data = {}) {
        slots_.push_back({std::move(name), std::move(run), std::move(data)});
    }
    const std::string& ClassName() const { return className_; }
    const std::vector<Slot>& Slots() const { return slots_; }

private:
    std::string className_;
    std::vector<Slot> slots_;
};

template <typename T> const T& Fetch(const char* name) {
    Current& now = Now();
    if (!now.row)
        Fatal(std::string("QFETCH(") + name + ") outside a data row");
    for (std::size_t i = 0; i < now.columns.size(); ++i)
        if (now.columns[i].name == name) {
            if (*now.columns[i].type != typeid(T))
                Fatal(std::string("QFETCH(") + name + ") with a type other than its column's");
            return *std::any_cast<T>(&now.row->values.at(i));
        }
    Fatal(std::string("QFETCH: no column ") + name);
}

// An integer type that is not a character or truth value type.
template <typename T>
concept Number = std::is_integral_v<T> && !std::is_same_v<T, bool> && !std::is_same_v<T, char> &&
                 !std::is_same_v<T, wchar_t> && !std::is_same_v<T, char8_t> &&
                 !std::is_same_v<T, char16_t> && !std::is_same_v<T, char32_t>;

template <typename T1, typename T2> bool Equal(const T1& actual, const T2& expected) {
    if constexpr (std::is_floating_point_v<T1> && std::is_floating_point_v<T2>) {
        // Qt Test's fuzzy comparison: equal to about 12 significant digits.
        return actual == expected ||
               std::abs(actual - expected) * 1e12 <= std::min(std::abs(actual), std::abs(expected));
    } else if constexpr (Number<T1> && Number<T2>) {
        // Mixed signedness compared by value, as Qt Test's overloads do.
        return std::cmp_equal(actual, expected);
    } else {
        return actual == expected;
    }
}

template <typename T1, typename T2>
bool Compare(const T1& actual, const T2& expected, const char* actualText, const char* expectedText,
             const char* file, int line) {
    if (Equal(actual, expected))
        return true;
    const std::size_t width = std::max(std::strlen(actualText), std::strlen(expectedText));
    // "(text)" padded after the parenthesis, so that both values start in one column.
    const auto label = [width](const char* text) {
        std::string label(1, '(');
        label.append(text).append(")").append(width - std::strlen(text), ' ');
        return label;
    };
    std::string message = "Compared values are not the same\n   Actual   ";
    message.append(label(actualText)).append(": ").append(Describe(actual));
    message.append("\n   Expected ").append(label(expectedText)).append(": ");
    Fail(message.append(Describe(expected)), file, line);
    return false;
}

bool Verify(bool condition, const char* text, const char* message, const char* file, int line);

} // namespace Internal

template <typename T> char* toString(const T& value) {
    return toString(std::string_view(Internal::Describe(value)));
}

// A row under construction: each << gives the next column's value.
class RowBuilder {
public:
    explicit RowBuilder(Internal::Row& row)
        : row_(row) {}
    template <typename T> RowBuilder& operator<<(const T& value) {
        const auto& columns = Internal::Now().columns;
        const std::size_t column = row_.values.size();
        if (column >= columns.size())
            Internal::Fatal("row \"" + row_.tag + "\" has more values than columns");
        if (*columns[column].type != typeid(T))
            Internal::Fatal("row \"" + row_.tag + "\": wrong data type for column " +
                            columns[column].name);
        row_.values.emplace_back(value);
        return *this;
    }

private:
    Internal::Row& row_;
};

template <typename T> void addColumn(const char* name) {
    Internal::Now().columns.push_back({name, &typeid(T)});
}
RowBuilder newRow(const char* tag);
RowBuilder addRow(const char* format, ...);

int qExec(QObject* test, int argc, char** argv);

} // namespace QTest

#define QCOMPARE(actual, expected)                                                                 \
    do {                                                                                           \
        if (!QTest::Internal::Compare(actual, expected, #actual, #expected, __FILE__, __LINE__))   \
            return;                                                                                \
    } while (false)
#define QVERIFY2(condition, message)                                                               \
    do {                                                                                           \
        if (!QTest::Internal::Verify(static_cast<bool>(condition), #condition, message, __FILE__,  \
                                     __LINE__))                                                    \
            return;                                                                                \
    } while (false)
#define QVERIFY(condition) QVERIFY2(condition, nullptr)
#define QFAIL(message)                                                                             \
    do {                                                                                           \
        QTest::Internal::Fail(message, __FILE__, __LINE__);                                        \
        return;                                                                                    \
    } while (false)
#define QSKIP(message)                                                                             \
    do {                                                                                           \
        QTest::Internal::Skip(message, __FILE__, __LINE__);                                        \
        return;                                                                                    \
    } while (false)
#define QFETCH(Type, name) Type name = QTest::Internal::Fetch<Type>(#name)

#define QTEST_GUILESS_MAIN(TestClass)                                                              \
    int main(int argc, char** argv) {                                                              \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
#define QTEST_MAIN(TestClass) QTEST_GUILESS_MAIN(TestClass)
