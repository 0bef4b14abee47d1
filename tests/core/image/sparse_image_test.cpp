#include "core/image/sparse_image.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <vector>

namespace zeltrix {
namespace {

// The image as one optional byte per address, the plainest model of a sparse image.
using Model = std::vector<std::optional<char>>;

std::vector<std::pair<std::uint64_t, std::string>> RunsOf(const SparseImage& image) {
  return {image.GetRuns().begin(), image.GetRuns().end()};
}

TEST(SparseImage, RunsMergeWhenTheyMeetAndGapsStay) {
  using Runs = std::vector<std::pair<std::uint64_t, std::string>>;
  struct Case {
    const char* what;
    void (*change)(SparseImage&);
    Runs runs;
  };
  // Every case starts from "ab" at 10 and "cd" at 20.
  const Case cases[] = {
      {"put before, apart",
       [](SparseImage& i) { i.Put(5, "x"); },
       {{5, "x"}, {10, "ab"}, {20, "cd"}}},
      {"put touching the end", [](SparseImage& i) { i.Put(12, "xy"); }, {{10, "abxy"}, {20, "cd"}}},
      {"put touching the start", [](SparseImage& i) { i.Put(8, "xy"); }, {{8, "xyab"}, {20, "cd"}}},
      {"put over both and the gap",
       [](SparseImage& i) { i.Put(11, std::string(10, 'z')); },
       {{10, "a" + std::string(10, 'z') + "d"}}},
      {"put filling the gap exactly",
       [](SparseImage& i) { i.Put(12, "........"); },
       {{10, "ab........cd"}}},
      {"insert inside a run",
       [](SparseImage& i) { i.Insert(11, "XY"); },
       {{10, "aXYb"}, {22, "cd"}}},
      {"insert in the gap moves what follows",
       [](SparseImage& i) { i.Insert(15, "XY"); },
       {{10, "ab"}, {15, "XY"}, {22, "cd"}}},
      {"insert at the end", [](SparseImage& i) { i.Insert(22, "XY"); }, {{10, "ab"}, {20, "cdXY"}}},
      {"insert at a run's start",
       [](SparseImage& i) { i.Insert(20, "XY"); },
       {{10, "ab"}, {20, "XYcd"}}},
      {"erase inside a run", [](SparseImage& i) { i.Erase(21, 22); }, {{10, "ab"}, {20, "c"}}},
      {"erase across runs", [](SparseImage& i) { i.Erase(11, 21); }, {{10, "a"}, {21, "d"}}},
      {"erase nothing", [](SparseImage& i) { i.Erase(13, 13); }, {{10, "ab"}, {20, "cd"}}},
  };
  for (const Case& c : cases) {
    SparseImage image;
    image.Put(10, "ab");
    image.Put(20, "cd");
    c.change(image);
    EXPECT_EQ(RunsOf(image), c.runs) << c.what;
  }
}

// Random changes against the model: every byte, the extent, the byte count
// and the selections must agree, whatever the order of the changes.
TEST(SparseImage, AgreesWithAByteModel) {
  std::mt19937 random(7);
  for (int round = 0; round < 200; ++round) {
    SparseImage image;
    Model model;
    for (int step = 0; step < 12; ++step) {
      const std::uint64_t at = random() % 40;
      const std::string bytes(random() % 6 + 1, static_cast<char>('a' + step));
      if (model.size() < at) model.resize(at);
      switch (random() % 3) {
        case 0:
          image.Put(at, bytes);
          if (model.size() < at + bytes.size()) model.resize(at + bytes.size());
          for (std::size_t i = 0; i < bytes.size(); ++i) model[at + i] = bytes[i];
          break;
        case 1:
          image.Insert(at, bytes);
          model.insert(model.begin() + static_cast<std::ptrdiff_t>(at), bytes.begin(), bytes.end());
          break;
        default:
          image.Erase(at, at + bytes.size());
          for (std::size_t i = at; i < std::min<std::size_t>(model.size(), at + bytes.size());
               ++i) {
            model[i].reset();
          }
      }
    }
    while (!model.empty() && !model.back()) model.pop_back();
    std::string held;
    std::uint64_t begin = 0;
    while (begin < model.size() && !model[begin]) ++begin;
    for (const auto& byte : model) {
      if (byte) held += *byte;
    }
    ASSERT_EQ(image.End(), model.size()) << round;
    ASSERT_EQ(image.Begin(), model.empty() ? 0 : begin) << round;
    ASSERT_EQ(image.ByteCount(), held.size()) << round;
    ASSERT_EQ(image.BytesIn(0, 1000), held) << round;
    std::optional<std::uint64_t> previousEnd;
    for (const auto& [address, bytes] : image.GetRuns()) {
      // Runs never touch: a run begins after a gap.
      ASSERT_TRUE(!previousEnd || address > *previousEnd) << round;
      ASSERT_FALSE(bytes.empty());
      for (std::size_t i = 0; i < bytes.size(); ++i) ASSERT_EQ(model[address + i], bytes[i]);
      previousEnd = address + bytes.size();
    }
    for (std::uint64_t from = 0; from < model.size() + 2; from += 3) {
      std::string expected;
      bool any = false;
      for (std::uint64_t a = from; a < std::min<std::uint64_t>(model.size(), from + 5); ++a) {
        if (model[a]) expected += *model[a];
        any |= model[a].has_value();
      }
      ASSERT_EQ(image.BytesIn(from, from + 5), expected) << round;
      ASSERT_EQ(image.HoldsAny(from, from + 5), any) << round;
    }
  }
}

}  // namespace
}  // namespace zeltrix
