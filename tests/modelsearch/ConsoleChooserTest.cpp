// The headless station's chooser: the candidates listed on standard error, a number
// read from standard input. Runs in a forked child, whose standard streams are files.
#include "cli/ConsoleInterface.h"
#include "cli/ConsoleLoop.h"
#include "identity/ForkedWorker.h"
#include "modelsearch/SearchTree.h"
#include "app/ModelSearch.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

bool redirect(int stream, const std::string& path, int flags)
{
    platform::FileDescriptor fd(::open(path.c_str(), flags | O_CLOEXEC, 0600));
    return fd && ::dup2(fd.get(), stream) == stream;
}

TEST(ConsoleChooser, ReadsAListNumberAndCancelsOnAnEmptyLineOrTheEndOfInput)
{
    SearchTree tree;
    std::vector<TestTree::Model*> candidates;
    ModelSearch("counter", tree.doc.topLevelNodes(), candidates);
    ASSERT_EQ(candidates.size(), 3u);
    const std::string typed = tree.dir.write("typed", "abc\n0\n4\n 2 \n\n");
    const std::string shown = tree.dir.file("shown");

    ForkedWorker child([&](int output) {
        if (!redirect(STDIN_FILENO, typed, O_RDONLY) || !redirect(STDERR_FILENO, shown, O_WRONLY | O_CREAT | O_TRUNC))
            return false;
        ConsoleLoop loop;
        ConsoleInterface console(loop, tree.doc);
        std::string answers;
        for (int round = 0; round < 3; ++round) {
            std::size_t index = 99;
            answers += console.chooseModel(candidates, index) ? std::to_string(index) : "cancel";
            answers += "|";
        }
        return writeText(output, answers);
    });
    ASSERT_TRUE(child.started());
    auto answers = child.finish();
    ASSERT_TRUE(answers);
    EXPECT_EQ(*answers, "1|cancel|cancel|");

    const std::string screen = readWholeFile(shown);
    for (const char* expected : {"1. Counter/Sub/D100.app  12345678  Escritorio D\xC3\xA9sk", "2. Counter/Sub/E10.app",
                                 "3. Counter/C200.app  C200  Countertop", "Not a number from 1 to 3."})
        EXPECT_NE(screen.find(expected), std::string::npos) << expected << " missing in:\n" << screen;
}

} // namespace
