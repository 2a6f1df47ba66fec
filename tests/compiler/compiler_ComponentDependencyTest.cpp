#include "compiler/compiler_ComponentDependency.h"

#include <gtest/gtest.h>

namespace {

using namespace Compiler;

std::vector<T_COMPONENT> instances(std::initializer_list<uint32_t> ids)
{
    std::vector<T_COMPONENT> out;
    for (uint32_t id : ids) {
        T_COMPONENT c;
        c.uniqID = id;
        out.push_back(c);
    }
    return out;
}

}  // namespace

TEST(ComponentDependencyTest, PredecessorsOncePerPairInOrderOfFirstAppearance)
{
    ComponentDependency d;
    const std::vector<T_CONNECTIONDB_CONNECTION> connections = {
        {5, 0, 9, 0}, {3, 1, 9, 1}, {5, 1, 9, 2}, {9, 0, 11, 0}, {4, 0, 4, 0}};
    ASSERT_EQ(0u, d.initialize(instances({1, 9}), connections));
    const ComponentDependency::Map expected = {
        {1, {}}, {3, {}}, {4, {4}}, {5, {}}, {9, {5, 3}}, {11, {9}}};
    EXPECT_EQ(expected, d.map());
}

TEST(ComponentDependencyTest, ReadyWhenEveryPredecessorHasFinished)
{
    ComponentDependency d;
    ASSERT_EQ(0u, d.initialize(instances({10, 20, 30, 40}), {{10, 0, 30, 0}, {20, 0, 30, 1}, {30, 0, 30, 0}}));
    ComponentDependency::RunningMap running;
    ComponentDependency::FinishedList finished;
    EXPECT_EQ((std::vector<uint32_t>{10, 20, 40}), d.getProcessibleComponents(running, finished, 0));

    running = {{10, 100}, {20, 150}, {40, 100}};
    EXPECT_EQ((std::vector<uint32_t>{}), d.getProcessibleComponents(running, finished, 99));
    EXPECT_EQ((std::vector<uint32_t>{}), d.getProcessibleComponents(running, finished, 100));
    EXPECT_EQ((ComponentDependency::FinishedList{10, 40}), finished);  // ascending
    EXPECT_EQ((ComponentDependency::RunningMap{{20, 150}}), running);
    // 30 also feeds itself, so it never becomes ready.
    EXPECT_EQ((std::vector<uint32_t>{}), d.getProcessibleComponents(running, finished, 150));
    EXPECT_TRUE(running.empty());

    ComponentDependency chain;
    ASSERT_EQ(0u, chain.initialize(instances({10, 20}), {{10, 0, 20, 0}}));
    running = {{10, 5}};
    finished.clear();
    EXPECT_EQ((std::vector<uint32_t>{}), chain.getProcessibleComponents(running, finished, 4));
    EXPECT_EQ((std::vector<uint32_t>{20}), chain.getProcessibleComponents(running, finished, 5));
}
