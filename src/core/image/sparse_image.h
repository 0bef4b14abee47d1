#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace zeltrix {

/**
 * The bytes of a memory image at their addresses, with gaps where the image
 * says nothing (an Intel HEX file need not describe every address). Held as
 * runs of consecutive bytes: runs never overlap nor touch, so two images with
 * the same bytes at the same addresses compare equal.
 */
class SparseImage {
 public:
  using Address = std::uint64_t;
  /** The runs, by the address of their first byte. */
  using Runs = std::map<Address, std::string>;

  /** Writes the bytes from the address on, over whatever the image held there. */
  void Put(Address address, std::string_view bytes);

  /**
   * Inserts the bytes at the address: every byte at or after it moves up by
   * their number, gaps with them, and the bytes fill the room made.
   */
  void Insert(Address address, std::string_view bytes);

  /** Removes the bytes at the addresses from..to-1, leaving a gap. */
  void Erase(Address from, Address to);

  bool Empty() const { return m_runs.empty(); }
  /** The address of the first byte; 0 for an empty image. */
  Address Begin() const { return m_runs.empty() ? 0 : m_runs.begin()->first; }
  /** One past the address of the last byte; 0 for an empty image. */
  Address End() const;
  /** How many bytes the image holds, gaps not counted. */
  std::uint64_t ByteCount() const;

  /** True when the image holds a byte at any of the addresses from..to-1. */
  bool HoldsAny(Address from, Address to) const;

  /** The bytes held at the addresses from..to-1, in order, gaps left out. */
  std::string BytesIn(Address from, Address to) const;

  const Runs& GetRuns() const { return m_runs; }

  bool operator==(const SparseImage&) const = default;

 private:
  // Cuts the run that holds address in two, so that a run starts there.
  void SplitAt(Address address);

  Runs m_runs;
};

}  // namespace zeltrix
