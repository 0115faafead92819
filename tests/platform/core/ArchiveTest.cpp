#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "platform/core/Archive.h"
#include "platform/core/Fields.h"
#include "platform/core/ObArray.h"

namespace {

// A point class with the same shape as the design's time/magnitude point.
class TestPoint : public fw::Object {
public:
    static const char* StaticClassName() { return "CTestPoint"; }
    const char* GetClassName() const override { return StaticClassName(); }
    void Serialize(fw::Archive& ar) override {
        if (ar.IsStoring()) fw::StoreFields(ar, std::tie(tag, time, magnitude));
        else fw::LoadFields(ar, std::tie(tag, time, magnitude));
    }
    std::string tag = "<P>";
    double time = 0;
    double magnitude = 0;
};

class OtherPoint : public TestPoint {
public:
    static const char* StaticClassName() { return "COtherPoint"; }
    const char* GetClassName() const override { return StaticClassName(); }
};

fw::RegisterClass<TestPoint> g_reg1("CTestPoint");
fw::RegisterClass<OtherPoint> g_reg2("COtherPoint");

std::vector<uint8_t> Bytes(std::initializer_list<int> v) {
    std::vector<uint8_t> out;
    for (int b : v) out.push_back(uint8_t(b));
    return out;
}

void AppendString(std::vector<uint8_t>& out, const std::string& s) {
    out.insert(out.end(), s.begin(), s.end());
}

}  // namespace

TEST(Archive, ScalarsAreLittleEndian) {
    fw::Archive ar;
    ar.WriteU16(0x1234);
    ar.WriteI32(-2);
    ar.WriteF64(1.0);
    EXPECT_EQ(ar.Bytes(), Bytes({0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));
    fw::Archive in(ar.Bytes());
    EXPECT_EQ(in.ReadU16(), 0x1234);
    EXPECT_EQ(in.ReadI32(), -2);
    EXPECT_EQ(in.ReadF64(), 1.0);
    EXPECT_TRUE(in.AtEnd());
}

TEST(Archive, StringLengthForms) {
    struct Case {
        size_t length;
        std::vector<uint8_t> prefix;
    };
    const Case cases[] = {
        {0, Bytes({0x00})},
        {254, Bytes({0xFE})},
        {255, Bytes({0xFF, 0xFF, 0x00})},
        {65533, Bytes({0xFF, 0xFD, 0xFF})},
        {65534, Bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
        {70000, Bytes({0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        std::string s(c.length, 'x');
        fw::Archive ar;
        ar.WriteString(s);
        ASSERT_EQ(ar.Bytes().size(), c.prefix.size() + c.length);
        EXPECT_TRUE(std::equal(c.prefix.begin(), c.prefix.end(), ar.Bytes().begin()));
        fw::Archive in(ar.Bytes());
        EXPECT_EQ(in.ReadString(), s);
        EXPECT_TRUE(in.AtEnd());
    }
}

TEST(Archive, StringLongerThanTheBytesLeftIsDamage) {
    fw::Archive in(Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a'}));
    EXPECT_THROW(in.ReadString(), fw::ArchiveError);
}

TEST(Archive, TwoPointsInAFreshArchive) {
    fw::ObArray<TestPoint> table;
    for (int i = 1; i <= 2; ++i) {
        auto p = std::make_unique<TestPoint>();
        p->time = i;
        p->magnitude = 10 * i;
        table.Add(std::move(p));
    }
    fw::Archive ar;
    table.Serialize(ar);

    fw::Archive point;
    point.WriteString("<P>");
    point.WriteF64(1);
    point.WriteF64(10);
    std::vector<uint8_t> expected = Bytes({0x02, 0x00, 0xFF, 0xFF, 0x01, 0x00, 0x0A, 0x00});
    AppendString(expected, "CTestPoint");
    expected.insert(expected.end(), point.Bytes().begin(), point.Bytes().end());
    expected.push_back(0x01);  // class index 1 | 0x8000
    expected.push_back(0x80);
    fw::Archive point2;
    point2.WriteString("<P>");
    point2.WriteF64(2);
    point2.WriteF64(20);
    expected.insert(expected.end(), point2.Bytes().begin(), point2.Bytes().end());
    EXPECT_EQ(ar.Bytes(), expected);

    fw::ObArray<TestPoint> loaded;
    fw::Archive in(ar.Bytes());
    loaded.Serialize(in);
    ASSERT_EQ(loaded.GetCount(), 2);
    EXPECT_EQ(loaded.GetAt(1)->magnitude, 20);
    EXPECT_TRUE(in.AtEnd());
}

TEST(Archive, ClassIndexCarriesAcrossArraysOfOneArchive) {
    fw::ObArray<TestPoint> a, b;
    a.Add(std::make_unique<TestPoint>());
    b.Add(std::make_unique<TestPoint>());
    fw::Archive ar;
    a.Serialize(ar);
    b.Serialize(ar);
    fw::Archive in(ar.Bytes());
    fw::ObArray<TestPoint> a2, b2;
    a2.Serialize(in);
    b2.Serialize(in);
    EXPECT_EQ(b2.GetCount(), 1);
    // The second array refers back to class index 1.
    const auto& bytes = ar.Bytes();
    EXPECT_EQ(bytes[bytes.size() - 2 - 4 - 16], 0x01);
}

TEST(Archive, MalformedArraysAreDamage) {
    auto header = [](const std::string& name) {
        std::vector<uint8_t> v = Bytes({0x01, 0x00, 0xFF, 0xFF, 0x01, 0x00});
        v.push_back(uint8_t(name.size()));
        v.push_back(0);
        AppendString(v, name);
        return v;
    };
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases = {
        {"null element", Bytes({0x01, 0x00, 0x00, 0x00})},
        {"count beyond bytes", Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F})},
        {"unknown class", header("CNoSuchClass")},
        {"other class", header("COtherPoint")},
        {"class index never defined", Bytes({0x01, 0x00, 0x05, 0x80})},
        {"object back-reference", Bytes({0x01, 0x00, 0x01, 0x00})},
        {"class name beyond bytes", Bytes({0x01, 0x00, 0xFF, 0xFF, 0x01, 0x00, 0xFF, 0x7F, 'C'})},
        {"element cut short", header("CTestPoint")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fw::ObArray<TestPoint> t;
        fw::Archive in(c.bytes);
        EXPECT_THROW(t.Serialize(in), fw::ArchiveError);
    }
}

TEST(Archive, RandomDamageNeverCrashes) {
    fw::ObArray<TestPoint> table;
    for (int i = 0; i < 5; ++i) table.Add(std::make_unique<TestPoint>());
    fw::Archive ar;
    ar.WriteString(std::string(300, 'n'));
    table.Serialize(ar);
    const std::vector<uint8_t> good = ar.Bytes();
    std::mt19937 rng(12345);
    for (int round = 0; round < 3000; ++round) {
        std::vector<uint8_t> bad = good;
        if (round % 3 == 0) {
            bad.resize(rng() % bad.size());
        } else {
            int flips = 1 + int(rng() % 4);
            for (int k = 0; k < flips; ++k) bad[rng() % bad.size()] ^= uint8_t(1u << (rng() % 8));
        }
        fw::Archive in(bad);
        fw::ObArray<TestPoint> t;
        try {
            (void)in.ReadString();
            t.Serialize(in);
        } catch (const fw::ArchiveError&) {
        }
        EXPECT_LE(t.GetCount(), 5 + 0xFFFF);
    }
}

TEST(Fields, CompareTreatsUnorderedDoublesAsEqual) {
    double nan = std::nan("");
    double a1 = 1, a2 = 1;
    std::string s1 = "x", s2 = "x";
    EXPECT_FALSE(fw::FieldsDiffer(std::tie(a1, s1), std::tie(a2, s2)));
    a2 = nan;
    EXPECT_FALSE(fw::FieldsDiffer(std::tie(a1, s1), std::tie(a2, s2)));
    s2 = "y";
    EXPECT_TRUE(fw::FieldsDiffer(std::tie(a1, s1), std::tie(a2, s2)));
    fw::CopyFields(std::tie(a1, s1), std::tie(a2, s2));
    EXPECT_EQ(s1, "y");
}

TEST(Files, AtomicWriteLeavesOldFileOnFailure) {
    std::string dir = ::testing::TempDir();
    std::string path = dir + "/atomic_test.bin";
    ASSERT_TRUE(fw::WriteFileAtomic(path, Bytes({1, 2, 3})));
    EXPECT_EQ(fw::ReadFileBytes(path), Bytes({1, 2, 3}));
    std::string err;
    EXPECT_FALSE(fw::WriteFileAtomic(dir + "/no/such/dir/x.bin", Bytes({4}), &err));
    EXPECT_FALSE(err.empty());
    EXPECT_THROW(fw::ReadFileBytes(dir + "/no_such_file.bin"), fw::ArchiveError);
    EXPECT_THROW(fw::ReadFileBytes(path, 2), fw::ArchiveError);
}

namespace {

// A fresh folder of its own per test, removed afterwards.
class SaveFolder : public ::testing::Test {
protected:
    void SetUp() override {
        std::string templ = ::testing::TempDir() + "/atomic_XXXXXX";
        ASSERT_NE(::mkdtemp(templ.data()), nullptr);
        dir_ = templ;
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir_)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string dir_;
};

}  // namespace

// A link planted where a temporary file might go is never written through, nothing is left
// beside the target, and a failed replace (a folder in the way) leaves no temporary file.
TEST_F(SaveFolder, TemporaryFileIsNeverALinkAndNeverLeftBehind) {
    const std::string victim = dir_ + "/unrelated.txt";
    ASSERT_TRUE(fw::WriteFileAtomic(victim, Bytes({9})));
    ASSERT_EQ(::symlink(victim.c_str(), (dir_ + "/design.SEF.tmp~").c_str()), 0);
    ASSERT_EQ(::symlink(victim.c_str(), (dir_ + "/.design.SEF.tmp").c_str()), 0);
    ASSERT_TRUE(fw::WriteFileAtomic(dir_ + "/design.SEF", Bytes({1, 2})));
    EXPECT_EQ(fw::ReadFileBytes(victim), Bytes({9}));
    EXPECT_EQ(fw::ReadFileBytes(dir_ + "/design.SEF"), Bytes({1, 2}));
    EXPECT_EQ(Names(), (std::vector<std::string>{".design.SEF.tmp", "design.SEF", "design.SEF.tmp~", "unrelated.txt"}));

    ASSERT_EQ(::mkdir((dir_ + "/folder.SEF").c_str(), 0755), 0);
    std::string err;
    EXPECT_FALSE(fw::WriteFileAtomic(dir_ + "/folder.SEF", Bytes({3}), &err));
    EXPECT_NE(err.find("cannot replace file"), std::string::npos) << err;
    EXPECT_EQ(Names().size(), 5u);
}

// Saving through a link (absolute, relative, a chain) changes the file it names and keeps the
// link; the file keeps its permissions; a new file takes the usual ones.
TEST_F(SaveFolder, SaveThroughLinkKeepsLinkAndPermissions) {
    ASSERT_EQ(::mkdir((dir_ + "/real").c_str(), 0755), 0);
    const std::string real = dir_ + "/real/design.SEF";
    ASSERT_TRUE(fw::WriteFileAtomic(real, Bytes({1})));
    ASSERT_EQ(::chmod(real.c_str(), 0600), 0);
    ASSERT_EQ(::symlink("real/design.SEF", (dir_ + "/relative.SEF").c_str()), 0);
    ASSERT_EQ(::symlink((dir_ + "/relative.SEF").c_str(), (dir_ + "/chain.SEF").c_str()), 0);
    for (const char* link : {"/relative.SEF", "/chain.SEF"}) {
        SCOPED_TRACE(link);
        const uint8_t mark = static_cast<uint8_t>(link[1]);
        ASSERT_TRUE(fw::WriteFileAtomic(dir_ + link, Bytes({mark})));
        struct stat st;
        ASSERT_EQ(::lstat((dir_ + link).c_str(), &st), 0);
        EXPECT_TRUE(S_ISLNK(st.st_mode));
        ASSERT_EQ(::stat(real.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0600u);
        EXPECT_EQ(fw::ReadFileBytes(real), Bytes({mark}));
    }
    const mode_t mask = ::umask(022);
    ASSERT_TRUE(fw::WriteFileAtomic(dir_ + "/new.SEF", Bytes({2})));
    ::umask(mask);
    struct stat st;
    ASSERT_EQ(::stat((dir_ + "/new.SEF").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
}
