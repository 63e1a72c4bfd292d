#include "engine/RunLock.h"
#include "engine/Organizer.h"
#include "engine/Reverter.h"

#include "tests/engine/InputOutputFolders.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace foldwise {
namespace {

using namespace test;

// A pipe from forked children to the test: each message is one line.
struct Messages {
    Messages() { EXPECT_EQ(::pipe(ends), 0); }
    ~Messages() {
        ::close(ends[0]);
        ::close(ends[1]);
    }
    void send(const std::string& text) const { EXPECT_GT(::write(ends[1], (text + "\n").data(), text.size() + 1), 0); }
    std::string receive() const { // blocks until there is a message
        std::string line;
        for (char byte = 0; ::read(ends[0], &byte, 1) == 1 && byte != '\n';) {
            line += byte;
        }
        return line;
    }
    int ends[2] = {-1, -1};
};

// Runs `body` in a forked child that ends with it: status 0 when `body` returns true.
pid_t inChild(const std::function<bool()>& body) {
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(body() ? 0 : 1);
    }
    return child;
}

int exitStatusOf(pid_t child) {
    int status = 0;
    EXPECT_EQ(::waitpid(child, &status, 0), child);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class RunLock : public InputOutputFolders {};

TEST_F(RunLock, AnUndoStartedDuringASortInAnotherProcessWaitsForItAndThenUndoesItWhole) {
    constexpr std::size_t kFiles = 20000;
    for (std::size_t index = 0; index < kFiles; ++index) {
        writeFile(input / ("file" + std::to_string(index) + (index % 2 ? ".txt" : ".jpg")), "x");
    }
    const Messages messages;

    const pid_t sort = inChild([&] {
        RunOptions options;
        bool told = false;
        options.progress = [&](const RunProgress&) {
            if (!told) {
                told = true;
                messages.send("sorting");
            }
        };
        return organizeFiles(input, output, false, options).isComplete();
    });
    ASSERT_EQ(messages.receive(), "sorting");
    const pid_t undo = inChild([&] {
        RunOptions options;
        options.waiting = [&](const std::string& otherRun) {
            messages.send(otherRun);
        };
        const bool isComplete = revertFiles(input, output, options).isComplete();
        messages.send("undone");
        return isComplete;
    });
    EXPECT_EQ(messages.receive(), "the sort from “in” into “out”");
    EXPECT_EQ(exitStatusOf(sort), 0);
    EXPECT_EQ(exitStatusOf(undo), 0);

    EXPECT_TRUE(revertFiles(input, output, {}).nothingOnRecord) << "the first undo undid the whole sort";
    EXPECT_EQ(treeOf(input).size(), kFiles);
    EXPECT_TRUE(treeOf(output).empty());
}

TEST_F(RunLock, AStopWhileWaitingCancelsWithNothingDoneAndAKilledHolderLetsRunsGoOn) {
    addFiles({"a.txt", "b.jpg"});
    const auto before = treeOf(input);
    const Messages messages;
    const pid_t holder = inChild([&] {
        const auto lock = foldwise::RunLock::take(output, root / "elsewhere", "the holder", {});
        messages.send("locked");
        ::pause();
        return true;
    });
    ASSERT_EQ(messages.receive(), "locked");

    std::stop_source stop;
    RunOptions options;
    options.stop = stop.get_token();
    std::vector<std::string> toldOf;
    options.waiting = [&](const std::string& otherRun) {
        toldOf.push_back(otherRun);
        stop.request_stop();
    };
    const RunOutcome stopped = organizeFiles(input, output, true, options);
    EXPECT_TRUE(stopped.cancelled);
    EXPECT_EQ(stopped.moved, 0);
    EXPECT_EQ(toldOf, std::vector<std::string>{"the holder"});
    EXPECT_EQ(treeOf(input), before);

    ::kill(holder, SIGKILL);
    exitStatusOf(holder);
    // Were the lock still held, these would wait, be told and stop.
    stop = std::stop_source();
    options.stop = stop.get_token();
    toldOf.clear();
    EXPECT_TRUE(revertFiles(input, output, options).nothingOnRecord) << "a run that waited and stopped is no sort";
    const RunOutcome sorted = organizeFiles(input, output, true, options);
    EXPECT_TRUE(sorted.isComplete());
    EXPECT_EQ(sorted.moved, 2);
    EXPECT_TRUE(toldOf.empty()) << "the kernel released the killed holder's lock";
}

TEST_F(RunLock, AWatchIsRegisteredForItsLifetime) {
    EXPECT_FALSE(foldwise::RunLock::isWatched(input));
    {
        const WatchRegistration watch(input);
        EXPECT_TRUE(foldwise::RunLock::isWatched(input / "."));
        EXPECT_FALSE(foldwise::RunLock::isWatched(output));
    }
    EXPECT_FALSE(foldwise::RunLock::isWatched(input));
}

} // namespace
} // namespace foldwise
