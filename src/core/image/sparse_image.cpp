#include "core/image/sparse_image.h"

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

namespace zeltrix {
namespace {

SparseImage::Address EndOf(const SparseImage::Runs::value_type& run) {
  return run.first + run.second.size();
}

}  // namespace

void SparseImage::Put(Address address, std::string_view bytes) {
  if (bytes.empty()) return;
  const Address end = address + bytes.size();
  // The first run that ends at or after the address: the one the bytes
  // extend, when it starts before them.
  auto it = m_runs.upper_bound(address);
  if (it != m_runs.begin() && EndOf(*std::prev(it)) >= address) --it;
  if (it == m_runs.end() || it->first > end) {
    m_runs.emplace_hint(it, address, std::string(bytes));
    return;
  }
  // The bytes go into the run that starts first, in place, so that a file
  // read record by record grows one run instead of copying it each time.
  Runs::iterator host = it;
  if (it->first > address) {
    host = m_runs.emplace_hint(it, address, std::string(bytes));
  } else {
    std::string& held = host->second;
    const std::size_t at = static_cast<std::size_t>(address - host->first);
    if (held.size() < at + bytes.size()) held.resize(at + bytes.size());
    held.replace(at, bytes.size(), bytes);
  }
  // Runs that the bytes reach or touch join the host; only the part of a
  // run past the bytes survives.
  for (auto next = std::next(host); next != m_runs.end() && next->first <= end;) {
    if (EndOf(*next) > EndOf(*host)) {
      host->second.append(next->second, static_cast<std::size_t>(EndOf(*host) - next->first));
    }
    next = m_runs.erase(next);
  }
}

void SparseImage::SplitAt(Address address) {
  auto it = m_runs.upper_bound(address);
  if (it == m_runs.begin()) return;
  --it;
  if (it->first == address || EndOf(*it) <= address) return;
  const std::size_t at = static_cast<std::size_t>(address - it->first);
  m_runs.emplace_hint(std::next(it), address, it->second.substr(at));
  it->second.resize(at);
}

void SparseImage::Insert(Address address, std::string_view bytes) {
  if (bytes.empty()) return;
  SplitAt(address);
  // Every run from the address on is taken out, then put back higher up.
  std::vector<Runs::node_type> moved;
  for (auto it = m_runs.lower_bound(address); it != m_runs.end();) {
    moved.push_back(m_runs.extract(it++));
  }
  for (Runs::node_type& node : moved) {
    node.key() += bytes.size();
    m_runs.insert(std::move(node));
  }
  Put(address, bytes);
}

void SparseImage::Erase(Address from, Address to) {
  if (from >= to) return;
  SplitAt(from);
  SplitAt(to);
  m_runs.erase(m_runs.lower_bound(from), m_runs.lower_bound(to));
}

SparseImage::Address SparseImage::End() const {
  return m_runs.empty() ? 0 : EndOf(*m_runs.rbegin());
}

std::uint64_t SparseImage::ByteCount() const {
  std::uint64_t count = 0;
  for (const auto& run : m_runs) count += run.second.size();
  return count;
}

bool SparseImage::HoldsAny(Address from, Address to) const {
  if (from >= to) return false;
  auto it = m_runs.lower_bound(to);
  return it != m_runs.begin() && EndOf(*std::prev(it)) > from;
}

std::string SparseImage::BytesIn(Address from, Address to) const {
  std::string bytes;
  if (from >= to) return bytes;
  auto it = m_runs.upper_bound(from);
  if (it != m_runs.begin()) --it;
  for (; it != m_runs.end() && it->first < to; ++it) {
    const Address begin = std::max(from, it->first);
    const Address end = std::min(to, EndOf(*it));
    if (begin < end) {
      bytes.append(it->second, static_cast<std::size_t>(begin - it->first),
                   static_cast<std::size_t>(end - begin));
    }
  }
  return bytes;
}

}  // namespace zeltrix
