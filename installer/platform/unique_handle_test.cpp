#include "platform/unique_handle.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

// Handles are numbers; the traits keep a record of what was closed.
std::vector<int> closed;

struct NumberTraits {
    using Handle = int;
    static Handle Empty() { return -1; }
    static void Close(Handle handle) { closed.push_back(handle); }
};
using Owner = UniqueHandle<NumberTraits>;

struct ContractCase {
    const char* what;
    std::function<void()> steps;
    std::vector<int> closedAfterwards;
};

TEST(UniqueHandle, ClosesEveryHandleItOwnsOnceAndNothingElse) {
    const ContractCase cases[] = {
        {"the end of the owner closes", [] { Owner owner(1); }, {1}},
        {"an empty owner closes nothing", [] { Owner owner; }, {}},
        {"a moved owner is empty",
         [] {
             Owner from(1);
             const Owner to(std::move(from));
             EXPECT_FALSE(from);
             EXPECT_EQ(to.Get(), 1);
         },
         {1}},
        {"moving onto an owner closes what it held",
         [] {
             Owner from(1);
             Owner to(2);
             to = std::move(from);
             EXPECT_EQ(closed, std::vector<int>{2});
         },
         {2, 1}},
        {"Release gives the handle up unclosed",
         [] {
             Owner owner(1);
             EXPECT_EQ(owner.Release(), 1);
             EXPECT_FALSE(owner);
         },
         {}},
        {"Reset closes the old handle and keeps the new",
         [] {
             Owner owner(1);
             owner.Reset(2);
             EXPECT_EQ(closed, std::vector<int>{1});
             owner.Reset();
             EXPECT_FALSE(owner);
         },
         {1, 2}},
        {"Receive lets a call fill an empty owner",
         [] {
             Owner owner;
             *owner.Receive() = 3;
             EXPECT_EQ(owner.Get(), 3);
         },
         {3}},
        // Zero is a handle here, so only Empty() means empty.
        {"the empty value is never closed, every other is",
         [] {
             Owner owner(0);
             EXPECT_TRUE(owner);
             owner.Reset(-1);
         },
         {0}},
    };
    for (const ContractCase& contract : cases) {
        SCOPED_TRACE(contract.what);
        closed.clear();
        contract.steps();
        EXPECT_EQ(closed, contract.closedAfterwards);
    }
}

}  // namespace
