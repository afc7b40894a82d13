#include "qtest_standin.h"

#include <chrono>
#include <cstdlib>
#include <exception>
#include <set>

namespace QTest {
namespace Internal {

Current& Now() {
    static Current current;
    return current;
}

void Fatal(const std::string& message) {
    std::printf("QFATAL : %s\n", message.c_str());
    std::fflush(stdout);
    std::abort();
}

void Fail(const std::string& message, const char* file, int line) {
    Current& now = Now();
    if (now.outcome != Outcome::Pass)
        return;
    now.outcome = Outcome::Fail;
    now.failure = message + "\n   Loc: [" + file + "(" + std::to_string(line) + ")]";
}

void Skip(const std::string& message, const char* file, int line) {
    Current& now = Now();
    if (now.outcome != Outcome::Pass)
        return;
    now.outcome = Outcome::Skip;
    now.failure = message + "\n   Loc: [" + file + "(" + std::to_string(line) + ")]";
}

bool Verify(bool condition, const char* text, const char* message, const char* file, int line) {
    if (!condition) {
        std::string failure = "'";
        failure.append(text).append("' returned FALSE. (").append(message ? message : "");
        Fail(failure + ")", file, line);
    }
    return condition;
}

namespace {

bool IsSpecial(const std::string& name) {
    return name == "initTestCase" || name == "cleanupTestCase" || name == "init" ||
           name == "cleanup";
}

class Runner {
public:
    explicit Runner(const SlotSink& sink)
        : sink_(sink) {}

    // Runs the test functions named in `only` (all where it is empty) between initTestCase and
    // cleanupTestCase, each data row between init and cleanup.
    int Run(const std::set<std::string>& only) {
        const auto started = std::chrono::steady_clock::now();
        std::printf("********* Start testing of %s *********\n", sink_.ClassName().c_str());
        std::printf("Config: Using the Qt Test stand-in for Windows\n");
        if (RunOnce("initTestCase")) {
            for (const auto& slot : sink_.Slots())
                if (!IsSpecial(slot.name) && (only.empty() || only.contains(slot.name)))
                    RunFunction(slot);
        }
        RunOnce("cleanupTestCase");
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - started);
        std::printf("Totals: %d passed, %d failed, %d skipped, 0 blacklisted, %lldms\n", passed_,
                    failed_, skipped_, static_cast<long long>(elapsed.count()));
        std::printf("********* Finished testing of %s *********\n", sink_.ClassName().c_str());
        std::fflush(stdout);
        return std::min(failed_, 127);
    }

private:
    const SlotSink::Slot* Find(const std::string& name) const {
        for (const auto& slot : sink_.Slots())
            if (slot.name == name)
                return &slot;
        return nullptr;
    }

    // Calls one slot; false if it failed or skipped.
    static bool Call(const std::function<void()>& function) {
        try {
            function();
        } catch (const std::exception& e) {
            Now().outcome = Outcome::Fail;
            Now().failure = std::string("Caught unhandled exception: ") + e.what();
        } catch (...) {
            Now().outcome = Outcome::Fail;
            Now().failure = "Caught unhandled exception";
        }
        return Now().outcome == Outcome::Pass;
    }

    static void Reset() {
        Now().outcome = Outcome::Pass;
        Now().failure.clear();
    }

    void Report(const std::string& function, const std::string& tag) {
        const std::string name = sink_.ClassName() + "::" + function + "(" + tag + ")";
        switch (Now().outcome) {
        case Outcome::Pass:
            ++passed_;
            std::printf("PASS   : %s\n", name.c_str());
            break;
        case Outcome::Fail:
            ++failed_;
            std::printf("FAIL!  : %s %s\n", name.c_str(), Now().failure.c_str());
            break;
        case Outcome::Skip:
            ++skipped_;
            std::printf("SKIP   : %s %s\n", name.c_str(), Now().failure.c_str());
            break;
        }
        std::fflush(stdout);
    }

    // initTestCase and cleanupTestCase: reported as passed where the class has none, as Qt does.
    bool RunOnce(const std::string& name) {
        Reset();
        if (const auto* slot = Find(name))
            Call(slot->run);
        const bool passed = Now().outcome == Outcome::Pass;
        Report(name, "");
        return passed;
    }

    void RunRow(const SlotSink::Slot& slot, const std::string& tag) {
        Reset();
        const auto* init = Find("init");
        const auto* cleanup = Find("cleanup");
        if (!init || Call(init->run)) {
            Call(slot.run);
            if (cleanup) {
                const Outcome outcome = Now().outcome;
                const std::string failure = Now().failure;
                Reset();
                // A failure in the function itself is the one reported.
                if (Call(cleanup->run) || outcome != Outcome::Pass) {
                    Now().outcome = outcome;
                    Now().failure = failure;
                }
            }
        }
        Report(slot.name, tag);
    }

    void RunFunction(const SlotSink::Slot& slot) {
        Current& now = Now();
        now.columns.clear();
        now.rows.clear();
        now.row = nullptr;
        if (!slot.data) {
            RunRow(slot, "");
            return;
        }
        Reset();
        Call(slot.data);
        std::set<std::string> tags;
        for (const Row& row : now.rows) {
            if (!tags.insert(row.tag).second)
                Fatal(sink_.ClassName() + "::" + slot.name + "_data: duplicate data tag \"" +
                      row.tag + "\"");
            if (row.values.size() != now.columns.size())
                Fatal(sink_.ClassName() + "::" + slot.name + "_data: row \"" + row.tag +
                      "\" has fewer values than columns");
        }
        if (now.rows.empty()) {
            Reset();
            Now().outcome = Outcome::Skip;
            Now().failure = "No data rows";
            Report(slot.name, "");
        }
        for (const Row& row : now.rows) {
            now.row = &row;
            RunRow(slot, row.tag);
        }
        now.row = nullptr;
    }

    const SlotSink& sink_;
    int passed_ = 0;
    int failed_ = 0;
    int skipped_ = 0;
};

} // namespace
} // namespace Internal

RowBuilder newRow(const char* tag) {
    auto& rows = Internal::Now().rows;
    rows.push_back({tag, {}});
    return RowBuilder(rows.back());
}

RowBuilder addRow(const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    char tag[1024];
    std::vsnprintf(tag, sizeof tag, format, arguments);
    va_end(arguments);
    return newRow(tag);
}

// The test functions to run may be named on the command line; all run where none is.
int qExec(QObject* test, int argc, char** argv) {
    Internal::SlotSink sink;
    test->qt_testSlots(sink);
    std::set<std::string> only;
    for (int i = 1; i < argc; ++i) {
        bool known = false;
        for (const auto& slot : sink.Slots())
            known = known || slot.name == argv[i];
        if (!known) {
            std::printf("Unknown test function: '%s'.\n", argv[i]);
            return 1;
        }
        only.insert(argv[i]);
    }
    return Internal::Runner(sink).Run(only);
}

} // namespace QTest
