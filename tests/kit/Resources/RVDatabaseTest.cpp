#include "TolvaneKit/Resources/RVDatabase.h"
#include "support/ResourceFolder.h"

#include <gtest/gtest.h>
#include <string>

namespace {

// Keeps the text of its file; counts file reads and live instances.
struct CountedResource : RVResource {
    CountedResource(int key, RVDatabase* database)
        : RVResource(key, database),
          content(VexmiraTest::TemporaryFolder::read(filePath("CountedResource", "txt"))) {
        ++reads, ++alive;
    }
    ~CountedResource() override { --alive; }
    const std::string content;
    static inline int reads = 0, alive = 0;
};

// Holds another key of its database while it lives, as a composite holds its parts.
struct HoldingResource : RVResource {
    static constexpr int heldKey = 100;
    HoldingResource(int key, RVDatabase* database) : RVResource(key, database) {
        database->retainKey<CountedResource>(heldKey);
    }
    ~HoldingResource() override { database()->releaseKey(heldKey); }
};

class RVDatabaseTest : public testing::Test {
protected:
    void SetUp() override {
        VexmiraTest::TemporaryFolder::write(folder_.file("CountedResource/5.txt"), "five\n");
        VexmiraTest::TemporaryFolder::write(folder_.file("CountedResource/-3.txt"), "minus 3\n");
        CountedResource::reads = CountedResource::alive = 0;
    }

    std::string listing() const {
        testing::internal::CaptureStdout();
        database.print();
        return testing::internal::GetCapturedStdout();
    }

    VexmiraTest::ResourceFolder folder_{"CountedResource"};
    RVDatabase database;
};

} // namespace

TEST_F(RVDatabaseTest, ObtainingSharesOneObjectOfTheRightClassUntilTheLastGivingBack) {
    database.releaseKey(7); // unknown keys change nothing
    CountedResource* five = database.retainKey<CountedResource>(5);
    EXPECT_EQ(database.retainKey<CountedResource>(5), five);
    database.retainKey<CountedResource>(9);
    EXPECT_EQ(five->content, "five\n");
    EXPECT_EQ(database.retainKey<CountedResource>(-3)->content, "minus 3\n"); // signed decimal
    EXPECT_EQ(database.retainKey<CountedResource>(404)->content, "") << "a missing file";
    database.releaseKey(5);
    EXPECT_EQ(database.referenceCountForKey(5), 1);
    five->releaseFromDatabase(); // the same as giving back through the database
    EXPECT_EQ(CountedResource::alive, 3);
    // A key cached under another class is not handed out as the wrong type; a base class matches.
    EXPECT_EQ(database.retainKey<HoldingResource>(9), nullptr);
    EXPECT_EQ(database.retainKey<RVResource>(9)->referenceCount(), 2);
    for (int key : {9, 9, -3, 404})
        database.releaseKey(key);
    EXPECT_EQ(database.tree(), nullptr);
    EXPECT_EQ(database.retainKey<CountedResource>(5)->referenceCount(), 1);
    EXPECT_EQ(CountedResource::reads, 5) << "obtained anew after the last giving back";
}

TEST_F(RVDatabaseTest, Listing) {
    for (int key : {1, 2, 3})
        database.retainKey<CountedResource>(key);
    // A hit uses the plain search and leaves the shape alone; counting splays.
    database.retainKey<CountedResource>(2);
    EXPECT_EQ(listing(), "3,1\n   2,2\n      1,1\n\n");
    EXPECT_EQ(database.referenceCountForKey(1), 1);
    EXPECT_EQ(listing(), "      3,1\n   2,2\n1,1\n\n");
}

TEST_F(RVDatabaseTest, ResourcesMayGiveBackOtherKeysWhileBeingDestroyed) {
    for (int key : {1, 2})
        database.retainKey<HoldingResource>(key);
    database.releaseKey(1);
    EXPECT_EQ(database.referenceCountForKey(HoldingResource::heldKey), 1);
    database.releaseKey(2);
    EXPECT_EQ(database.tree(), nullptr);
    {
        RVDatabase doomed;
        for (int key = 1; key <= 20; ++key)
            doomed.retainKey<HoldingResource>(key);
        for (int key = 30; key < 80; ++key)
            doomed.retainKey<CountedResource>(key);
    }
    EXPECT_EQ(CountedResource::alive, 0) << "destroying the database destroys what it holds";
}
