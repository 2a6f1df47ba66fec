// The test-side editor starting the real program with a work folder of its own and its port.
#include "main/app/editor/TestEditor.h"

#include <gtest/gtest.h>

#include <csignal>

using namespace std::chrono_literals;
using EngineTest::TestEditor;

TEST(TestEditorTest, StartsTheProgramWithItsWorkFolderAndPort)
{
    TestEditor editor;
    ASSERT_TRUE(editor.listen());
    ASSERT_NE(0, editor.port());
    ASSERT_TRUE(editor.startEngine("dev01"));
    ASSERT_TRUE(editor.engine().waitForOutput("[i] AbstractThread[System] - onChangeStatus(RUN)\n", 30s))
        << editor.engine().output();
    EXPECT_TRUE(std::filesystem::is_directory(editor.workFolder()));
    // The identifier was taken as a folder inside the work folder.
    EXPECT_EQ(std::string::npos, editor.engine().output().find("names no folder inside")) << editor.engine().output();
    EXPECT_TRUE(editor.engine().signal(SIGTERM));
    EXPECT_EQ(0, editor.engine().waitForExit(30s));
}
