// CTQArray and CTQMap: growth rule, element lifetime, copy semantics and the
// map's iteration order, which texts written from a map depend on.

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "TQRVNBase.h"

namespace {

// Knows whether it still lives at the address it was constructed at: a
// bitwise move leaves `self` pointing at the old buffer.
struct Tracked {
    static inline int live = 0;
    Tracked* self = this;
    std::string text;
    explicit Tracked(std::string t = {}) : text(std::move(t)) { ++live; }
    Tracked(const Tracked& o) : text(o.text) { ++live; }
    Tracked(Tracked&& o) noexcept : text(std::move(o.text)) { ++live; }
    Tracked& operator=(const Tracked& o) {
        text = o.text;
        return *this;
    }
    Tracked& operator=(Tracked&& o) noexcept {
        text = std::move(o.text);
        return *this;
    }
    ~Tracked() { --live; }
    bool InPlace() const { return self == this; }
};

// A record whose default differs from a zero value, like a valve with its
// coefficient 0.5.
struct Coef {
    double value = 0.5;
};

std::string Long(int i) { return "a string far too long for the small-string buffer #" + std::to_string(i); }

template <class K, class V>
std::vector<K> KeysInOrder(const CTQMap<K, V>& map) {
    std::vector<K> keys;
    for (POSITION pos = map.GetStartPosition(); pos != nullptr;) {
        K key;
        V value;
        map.GetNextAssoc(pos, key, value);
        keys.push_back(key);
    }
    return keys;
}

// ---- CTQArray ----------------------------------------------------------------

TEST(CTQArray, CapacitiesOfRepeatedAddFollowTheGrowthRule) {
    CTQArray<int> a;
    std::vector<CTQArray<int>::INT_PTR> capacities;
    for (int i = 0; i < 72; ++i) {
        a.Add(i);
        if (capacities.empty() || capacities.back() != a.GetCapacity()) capacities.push_back(a.GetCapacity());
    }
    // First buffer exactly 1; then steps of 4 until size / 8 exceeds 4.
    const std::vector<CTQArray<int>::INT_PTR> expected{1, 5, 9, 13, 17, 21, 25, 29,
                                                       33, 37, 41, 46, 51, 57, 64, 72};
    EXPECT_EQ(capacities, expected);
    for (int i = 0; i < 72; ++i) ASSERT_EQ(a[i], i);
}

TEST(CTQArray, GrowthStepIsClampedAndARequestBeyondItWins) {
    CTQArray<int> a;
    a.SetSize(10000);
    EXPECT_EQ(a.GetCapacity(), 10000);
    a.Add(1);  // 10000 / 8 = 1250, clamped to 1024
    EXPECT_EQ(a.GetCapacity(), 11024);

    CTQArray<int> b;
    b.SetSize(10);
    b.SetSize(100);  // 10 + 4 < 100: exactly the request
    EXPECT_EQ(b.GetCapacity(), 100);
    b.SetSize(101);  // 100 / 8 = 12
    EXPECT_EQ(b.GetCapacity(), 112);
}

TEST(CTQArray, GrowByStepIsUsedAndKept) {
    CTQArray<int> a;
    a.SetSize(0, 10);
    a.Add(7);  // no buffer yet: max(1, 10)
    EXPECT_EQ(a.GetCapacity(), 10);
    a.SetSize(11);
    EXPECT_EQ(a.GetCapacity(), 20);
    a.SetSize(3, -1);
    EXPECT_EQ(a.GetGrowBy(), 10);
    EXPECT_EQ(a.GetCapacity(), 20);  // shrinking keeps the buffer
    a.RemoveAll();
    EXPECT_EQ(a.GetCapacity(), 0);
    EXPECT_EQ(a.GetData(), nullptr);
    EXPECT_EQ(a.GetGrowBy(), 10);
}

TEST(CTQArray, ReallocationMovesElementsWithTheirMoveConstructors) {
    {
        CTQArray<Tracked> a;
        for (int i = 0; i < 300; ++i) a.Add(Tracked(i % 2 ? Long(i) : std::to_string(i)));
        for (int i = 0; i < 300; ++i) {
            ASSERT_TRUE(a[i].InPlace()) << i;
            ASSERT_EQ(a[i].text, i % 2 ? Long(i) : std::to_string(i));
        }
        EXPECT_EQ(Tracked::live, 300);
        a.SetSize(10);
        EXPECT_EQ(Tracked::live, 10);
    }
    EXPECT_EQ(Tracked::live, 0);
}

TEST(CTQArray, GrowingDefaultConstructsEvenWithinTheCapacity) {
    CTQArray<std::string> a;
    a.SetSize(3);
    a[2] = Long(2);
    a.SetSize(1);
    a.SetSize(3);
    EXPECT_EQ(a[2], "");
    EXPECT_EQ(a.GetCapacity(), 3);
}

TEST(CTQArray, SetAtGrowFarBeyondTheEndDefaultConstructsTheGap) {
    CTQArray<Coef> a;
    a.SetAtGrow(40, Coef{2.0});
    ASSERT_EQ(a.GetSize(), 41);
    EXPECT_EQ(a.GetUpperBound(), 40);
    for (int i = 0; i < 40; ++i) EXPECT_EQ(a[i].value, 0.5);
    EXPECT_EQ(a[40].value, 2.0);
    a.SetAtGrow(3, Coef{1.0});  // inside: assigns, no growth
    EXPECT_EQ(a.GetSize(), 41);
    EXPECT_EQ(a[3].value, 1.0);
    EXPECT_THROW(a.SetAtGrow(-1, Coef{}), std::invalid_argument);
}

TEST(CTQArray, AddingAnOwnElementSurvivesTheReallocation) {
    CTQArray<std::string> a;
    a.Add(Long(0));
    for (int i = 0; i < 50; ++i) a.Add(a[0]);
    a.SetAtGrow(80, a[1]);
    a.InsertAt(0, a[80], 3);
    EXPECT_EQ(a.GetSize(), 84);
    for (int i = 0; i < 54; ++i) ASSERT_EQ(a[i], Long(0)) << i;
    EXPECT_EQ(a[83], Long(0));
}

TEST(CTQArray, CopiesAreIndependentAndExact) {
    CTQArray<std::string> src;
    for (int i = 0; i < 20; ++i) src.Add(Long(i));
    CTQArray<std::string> copy(src);
    EXPECT_EQ(copy.GetSize(), 20);
    EXPECT_EQ(copy.GetCapacity(), 20);  // a fresh buffer of exactly the size
    copy[0] = "changed";
    EXPECT_EQ(src[0], Long(0));

    CTQArray<std::string> target;
    for (int i = 0; i < 40; ++i) target.Add("old");
    target = src;
    ASSERT_EQ(target.GetSize(), 20);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(target[i], Long(i));

    CTQArray<std::string> empty, emptyCopy(empty);
    EXPECT_TRUE(emptyCopy.IsEmpty());
    EXPECT_EQ(emptyCopy.GetData(), nullptr);
    target = empty;
    EXPECT_TRUE(target.IsEmpty());
}

TEST(CTQArray, SelfAssignmentChangesNothing) {
    CTQArray<std::string> a;
    for (int i = 0; i < 6; ++i) a.Add(Long(i));
    const auto* data = a.GetData();
    const auto capacity = a.GetCapacity();
    CTQArray<std::string>& alias = a;
    a = alias;
    EXPECT_EQ(a.GetData(), data);
    EXPECT_EQ(a.GetCapacity(), capacity);
    ASSERT_EQ(a.GetSize(), 6);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(a[i], Long(i));
}

TEST(CTQArray, AssignmentUsesElementAssignmentInIndexOrder) {
    struct Logged {
        int id = 0;
        std::vector<int>* log = nullptr;
        Logged() = default;
        Logged(int i, std::vector<int>* l) : id(i), log(l) {}
        Logged(const Logged&) = default;
        Logged& operator=(const Logged& o) {
            if (o.log) o.log->push_back(o.id);
            id = o.id;
            log = o.log;
            return *this;
        }
    };
    std::vector<int> log;
    CTQArray<Logged> src;
    src.SetSize(4);
    for (int i = 0; i < 4; ++i) src[i] = Logged{i, nullptr};
    for (auto& e : src) e.log = &log;
    log.clear();
    CTQArray<Logged> dst;
    dst = src;
    EXPECT_EQ(log, (std::vector<int>{0, 1, 2, 3}));
}

TEST(CTQArray, AppendInsertAndRemoveKeepTheOrder) {
    CTQArray<std::string> a, b;
    a.Add("a");
    a.Add("b");
    b.Add("c");
    EXPECT_EQ(a.Append(b), 2);
    EXPECT_EQ(a.Append(a), 3);  // appending itself doubles it
    std::vector<std::string> got(a.begin(), a.end());
    EXPECT_EQ(got, (std::vector<std::string>{"a", "b", "c", "a", "b", "c"}));

    a.InsertAt(1, "x", 2);
    a.RemoveAt(0, 3);  // a x x removed
    got.assign(a.begin(), a.end());
    EXPECT_EQ(got, (std::vector<std::string>{"b", "c", "a", "b", "c"}));
    const auto capacity = a.GetCapacity();
    a.RemoveAt(4);
    EXPECT_EQ(a.GetCapacity(), capacity);
    a.InsertAt(6, "end");  // beyond the end: the gap is default-constructed
    got.assign(a.begin(), a.end());
    EXPECT_EQ(got, (std::vector<std::string>{"b", "c", "a", "b", "", "", "end"}));
}

TEST(CTQArray, BadIndicesThrowInsteadOfCorruptingMemory) {
    CTQArray<int> a;
    EXPECT_THROW(a[0], std::out_of_range);
    a.Add(1);
    EXPECT_THROW(a.GetAt(1), std::out_of_range);
    EXPECT_THROW(a.ElementAt(-1), std::out_of_range);
    EXPECT_THROW(a.SetAt(1, 0), std::out_of_range);
    EXPECT_THROW(a.RemoveAt(0, 2), std::out_of_range);
    EXPECT_THROW(a.SetSize(-1), std::invalid_argument);
    EXPECT_EQ(a.GetSize(), 1);
}

TEST(CTQArray, MoveLeavesTheSourceEmpty) {
    CTQArray<std::string> a;
    a.Add(Long(1));
    CTQArray<std::string> b(std::move(a));
    EXPECT_TRUE(a.IsEmpty());
    ASSERT_EQ(b.GetSize(), 1);
    a = std::move(b);
    EXPECT_EQ(a[0], Long(1));
}

// ---- CTQMap ------------------------------------------------------------------

TEST(CTQMap, IterationWalksBucketsAscendingNewestFirst) {
    CTQMap<int, double> m;
    EXPECT_EQ(m.GetStartPosition(), nullptr);
    // buckets: 300 -> 1, 5 -> 0, 16 -> 1, 17 -> 1, 272 -> 0, -1 -> 15, 33 -> 2
    for (int key : {300, 5, 16, 17, 272, -1, 33}) m[key] = key * 0.5;
    EXPECT_EQ(KeysInOrder(m), (std::vector<int>{272, 5, 17, 16, 300, 33, -1}));
    EXPECT_EQ(m.GetCount(), 7);
    EXPECT_EQ(m.GetHashTableSize(), 17u);

    CTQMap<int, double> pair;
    pair[16] = 1.0;
    pair[17] = 2.0;
    EXPECT_EQ(KeysInOrder(pair), (std::vector<int>{17, 16}));
}

TEST(CTQMap, LongKeysHashByTheirLow32Bits) {
    CTQMap<long, int> m;
    const long wide = 0x100000010L;  // low 32 bits are 16
    m[16] = 1;
    m[wide] = 2;
    m[17] = 3;
    EXPECT_EQ(KeysInOrder(m), (std::vector<long>{17, wide, 16}));
    int v = 0;
    ASSERT_TRUE(m.Lookup(wide, v));
    EXPECT_EQ(v, 2);
    ASSERT_TRUE(m.Lookup(16, v));
    EXPECT_EQ(v, 1);
}

TEST(CTQMap, IndexInsertsZeroAndLookupReportsPresence) {
    CTQMap<int, double> m;
    double out = 9.0;
    EXPECT_FALSE(m.Lookup(50, out));
    EXPECT_EQ(out, 9.0);
    EXPECT_EQ(m[50], 0.0);
    EXPECT_EQ(m.GetCount(), 1);
    m.SetAt(50, 0.25);
    m.SetAt(65, 0.75);
    EXPECT_EQ(m.GetCount(), 2);
    ASSERT_TRUE(m.Lookup(50, out));
    EXPECT_EQ(out, 0.25);
}

TEST(CTQMap, RemoveKeyUnlinksFromTheMiddleOfABucket) {
    CTQMap<int, int> m;
    for (int key : {16, 17, 18, 19}) m[key] = key;  // all in bucket 1
    EXPECT_TRUE(m.RemoveKey(18));
    EXPECT_FALSE(m.RemoveKey(18));
    EXPECT_FALSE(m.RemoveKey(1000));
    EXPECT_EQ(KeysInOrder(m), (std::vector<int>{19, 17, 16}));
    m.RemoveAll();
    EXPECT_TRUE(m.IsEmpty());
    EXPECT_EQ(m.GetStartPosition(), nullptr);
    m[3] = 3;
    EXPECT_EQ(KeysInOrder(m), (std::vector<int>{3}));
}

TEST(CTQMap, ManyKeysAreEachVisitedOnceInBucketOrder) {
    CTQMap<int, int> m;
    for (int i = 0; i < 2000; ++i) m[i * 7 - 3000] = i;
    EXPECT_EQ(m.GetCount(), 2000);
    const auto keys = KeysInOrder(m);
    ASSERT_EQ(keys.size(), 2000u);
    unsigned previous = 0;
    for (int key : keys) {
        const unsigned bucket = CTQMap<int, int>::HashKey(key) % 17;
        ASSERT_GE(bucket, previous);
        previous = bucket;
        int v = -1;
        ASSERT_TRUE(m.Lookup(key, v));
        ASSERT_EQ(key, v * 7 - 3000);
    }
}

TEST(CTQMap, CopyInsertsInTheSourceOrderSoBucketsComeOutReversed) {
    CTQMap<int, double> src;
    src[16] = 1.0;
    src[17] = 2.0;
    src[5] = 3.0;
    CTQMap<int, double> copy(src);
    EXPECT_EQ(KeysInOrder(src), (std::vector<int>{5, 17, 16}));
    EXPECT_EQ(KeysInOrder(copy), (std::vector<int>{5, 16, 17}));
    copy[5] = 30.0;
    double v = 0;
    ASSERT_TRUE(src.Lookup(5, v));
    EXPECT_EQ(v, 3.0);

    CTQMap<int, double> target;
    target[99] = 1.0;
    target = src;
    EXPECT_FALSE(target.Lookup(99, v));
    EXPECT_EQ(target.GetCount(), 3);
}

TEST(CTQMap, EmptyCopiesAndSelfAssignment) {
    CTQMap<int, double> empty;
    CTQMap<int, double> copy(empty);
    EXPECT_TRUE(copy.IsEmpty());
    CTQMap<int, double> m;
    m[16] = 1.0;
    m[17] = 2.0;
    CTQMap<int, double>& alias = m;
    m = alias;
    EXPECT_EQ(KeysInOrder(m), (std::vector<int>{17, 16}));  // not reversed: nothing happened
    m = empty;
    EXPECT_TRUE(m.IsEmpty());
}

}  // namespace
