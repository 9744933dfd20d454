#include "TolvaneKit/RVDatabase.h"
#include "CapturedStdout.h"
#include "Platform/core/ResourceDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

// A resource that remembers the first line of its file and counts how often
// any such file was read and how many instances are alive.
class CountedResource : public RVResource {
public:
    CountedResource(int key, RVDatabase* database) : RVResource(key, database) {
        ++reads;
        ++alive;
        std::ifstream file(filePath("CountedResource", "txt"));
        if (file)
            std::getline(file, content_);
    }
    ~CountedResource() override { --alive; }

    const std::string& content() const { return content_; }

    static inline int reads = 0;
    static inline int alive = 0;

private:
    std::string content_;
};

class OtherResource : public RVResource {
public:
    using RVResource::RVResource;
};

class RVDatabaseTest : public testing::Test {
protected:
    void SetUp() override {
        directory_ = std::filesystem::temp_directory_path() /
                     ("rvdatabase-test-" + std::to_string(getpid()));
        std::filesystem::create_directories(directory_ / "CountedResource");
        std::ofstream(directory_ / "CountedResource" / "5.txt") << "five\n";
        std::ofstream(directory_ / "CountedResource" / "-3.txt") << "minus three\n";
        Platform::setResourceDirectory(directory_.string());
        CountedResource::reads = 0;
        CountedResource::alive = 0;
    }

    void TearDown() override {
        Platform::setResourceDirectory("");
        std::filesystem::remove_all(directory_);
    }

    static std::string listing(const RVDatabase& database) {
        CapturedStdout captured;
        database.print();
        return captured.text();
    }

    std::filesystem::path directory_;
};

} // namespace

TEST_F(RVDatabaseTest, ObtainingTwiceSharesOneObjectReadOnce) {
    RVDatabase database;
    CountedResource* first = database.retainKey<CountedResource>(5);
    CountedResource* second = database.retainKey<CountedResource>(5);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(first->content(), "five");
    EXPECT_EQ(first->key(), 5);
    EXPECT_EQ(first->database(), &database);
    EXPECT_EQ(database.referenceCountForKey(5), 2);
    EXPECT_EQ(CountedResource::reads, 1);
}

TEST_F(RVDatabaseTest, TheLastGivingBackDestroysAndTheNextObtainingLoadsAnew) {
    RVDatabase database;
    database.retainKey<CountedResource>(5);
    database.retainKey<CountedResource>(5);
    database.releaseKey(5);
    EXPECT_EQ(database.referenceCountForKey(5), 1);
    EXPECT_EQ(CountedResource::alive, 1);
    database.releaseKey(5);
    EXPECT_EQ(database.referenceCountForKey(5), 0);
    EXPECT_EQ(CountedResource::alive, 0);
    EXPECT_EQ(database.tree(), nullptr);

    CountedResource* again = database.retainKey<CountedResource>(5);
    EXPECT_EQ(again->referenceCount(), 1);
    EXPECT_EQ(again->content(), "five");
    EXPECT_EQ(CountedResource::reads, 2);
}

TEST_F(RVDatabaseTest, GivingBackThroughTheResourceEqualsGivingBackThroughTheDatabase) {
    RVDatabase database;
    database.retainKey<CountedResource>(1);
    CountedResource* five = database.retainKey<CountedResource>(5);
    database.retainKey<CountedResource>(5);
    database.retainKey<CountedResource>(9);

    five->releaseFromDatabase();
    EXPECT_EQ(database.referenceCountForKey(5), 1);
    five->releaseFromDatabase();
    EXPECT_EQ(database.referenceCountForKey(5), 0);
    EXPECT_EQ(CountedResource::alive, 2);
    EXPECT_EQ(database.referenceCountForKey(1), 1);
    EXPECT_EQ(database.referenceCountForKey(9), 1);
}

TEST_F(RVDatabaseTest, UnknownKeysChangeNothing) {
    RVDatabase database;
    EXPECT_EQ(database.referenceCountForKey(0), 0);
    EXPECT_EQ(database.tree(), nullptr);
    database.releaseKey(0);

    database.retainKey<CountedResource>(2);
    database.retainKey<CountedResource>(2);
    database.releaseKey(7);
    EXPECT_EQ(database.referenceCountForKey(2), 2);
    EXPECT_EQ(database.referenceCountForKey(0), 0);
    EXPECT_EQ(database.referenceCountForKey(2), 2);
}

TEST_F(RVDatabaseTest, AKeyCachedUnderAnotherClassIsNotHandedOutAsTheWrongType) {
    RVDatabase database;
    CountedResource* counted = database.retainKey<CountedResource>(4);
    EXPECT_EQ(database.retainKey<OtherResource>(4), nullptr);
    EXPECT_EQ(database.referenceCountForKey(4), 1);
    EXPECT_EQ(database.retainKey<RVResource>(4), counted) << "a base class matches";
    EXPECT_EQ(database.referenceCountForKey(4), 2);
}

TEST_F(RVDatabaseTest, AMissingFileStillGivesACountedResource) {
    RVDatabase database;
    CountedResource* missing = database.retainKey<CountedResource>(404);
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(missing->content(), "");
    EXPECT_EQ(missing->referenceCount(), 1);
    database.releaseKey(404);
    EXPECT_EQ(CountedResource::alive, 0);
}

TEST_F(RVDatabaseTest, NegativeKeysNameTheirFilesInSignedDecimal) {
    RVDatabase database;
    EXPECT_EQ(database.retainKey<CountedResource>(-3)->content(), "minus three");
    EXPECT_EQ(RVResource::filePathForKey(-3, "RVTexture", "tiff"),
              directory_.string() + "/RVTexture/-3.tiff");
    EXPECT_EQ(RVResource::filePathForKey(12, "RVModelVNT", "rvmvnt"),
              directory_.string() + "/RVModelVNT/12.rvmvnt");
}

TEST_F(RVDatabaseTest, DestroyingTheDatabaseDestroysWhatItStillHolds) {
    {
        RVDatabase database;
        for (int key = 0; key < 50; ++key)
            database.retainKey<CountedResource>(key);
        database.retainKey<CountedResource>(7);
        EXPECT_EQ(CountedResource::alive, 50);
    }
    EXPECT_EQ(CountedResource::alive, 0);
}

TEST_F(RVDatabaseTest, Listing) {
    RVDatabase database;
    EXPECT_EQ(listing(database), "\n");
    database.retainKey<CountedResource>(1);
    database.retainKey<CountedResource>(2);
    database.retainKey<CountedResource>(3);
    EXPECT_EQ(listing(database), "3,1\n   2,1\n      1,1\n\n");
    // A hit uses the plain search and leaves the shape alone.
    database.retainKey<CountedResource>(2);
    EXPECT_EQ(listing(database), "3,1\n   2,2\n      1,1\n\n");
    // Counting splays.
    EXPECT_EQ(database.referenceCountForKey(1), 1);
    EXPECT_EQ(listing(database), "      3,1\n   2,2\n1,1\n\n");
}

namespace {

// A resource that holds another key of its own database while it lives, as
// a composite resource would hold its parts, and gives it back by key.
class HoldingResource : public RVResource {
public:
    static constexpr int heldKey = 100;

    HoldingResource(int key, RVDatabase* database) : RVResource(key, database) {
        if (key != heldKey)
            database->retainKey<CountedResource>(heldKey);
    }
    ~HoldingResource() override {
        if (key() != heldKey)
            database()->releaseKey(heldKey);
    }
};

} // namespace

TEST_F(RVDatabaseTest, AResourceMayGiveBackOtherKeysWhenItIsDestroyed) {
    RVDatabase database;
    database.retainKey<HoldingResource>(1);
    database.retainKey<HoldingResource>(2);
    EXPECT_EQ(database.referenceCountForKey(HoldingResource::heldKey), 2);
    database.releaseKey(1);
    EXPECT_EQ(database.referenceCountForKey(HoldingResource::heldKey), 1);
    database.releaseKey(2);
    EXPECT_EQ(database.referenceCountForKey(HoldingResource::heldKey), 0);
    EXPECT_EQ(CountedResource::alive, 0);
    EXPECT_EQ(database.tree(), nullptr);
}

TEST_F(RVDatabaseTest, DestroyingADatabaseOfResourcesThatHoldOthers) {
    {
        RVDatabase database;
        for (int key = 1; key <= 20; ++key)
            database.retainKey<HoldingResource>(key);
    }
    EXPECT_EQ(CountedResource::alive, 0);
}
