#include "core/image/intel_hex.h"

#include <algorithm>
#include <array>

namespace zeltrix {
namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// "0x4203": at least four digits, more when the address needs them.
std::string AddressText(std::uint64_t address) {
  std::string digits;
  do {
    digits.insert(digits.begin(), kDigits[address & 0xF]);
    address >>= 4;
  } while (address != 0 || digits.size() < 4);
  return "0x" + digits;
}

std::string ByteText(unsigned value) { return {kDigits[(value >> 4) & 0xF], kDigits[value & 0xF]}; }

// "1 байт", "2 байта", "5 байт".
std::string Bytes(std::size_t count) {
  const std::size_t tens = count % 100;
  const std::size_t ones = count % 10;
  const char* word = tens / 10 != 1 && ones >= 2 && ones <= 4 ? " байта" : " байт";
  return std::to_string(count) + word;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Reads the records line by line; Fail keeps the first fault.
class HexReader {
 public:
  Result<HexFile, HexFault> Read(std::string_view text) {
    std::size_t lastRecordLine = 0;
    bool lineEndKnown = false;
    for (std::size_t pos = 0; pos < text.size();) {
      const std::size_t newline = text.find('\n', pos);
      std::string_view line = text.substr(
          pos, newline == std::string_view::npos ? std::string_view::npos : newline - pos);
      pos = newline == std::string_view::npos ? text.size() : newline + 1;
      ++m_line;
      const bool crlf = !line.empty() && line.back() == '\r';
      if (crlf) line.remove_suffix(1);
      if (!lineEndKnown && newline != std::string_view::npos) {
        m_file.lineEnd = crlf ? LineEnd::CrLf : LineEnd::Lf;
        lineEndKnown = true;
      }
      std::size_t first = 0;
      while (first < line.size() && IsBlank(line[first])) ++first;
      std::size_t last = line.size();
      while (last > first && IsBlank(line[last - 1])) --last;
      if (first == last) continue;
      if (m_ended) {
        Fail("после записи конца файла есть ещё записи");
        return Failure{std::move(m_fault)};
      }
      if (!Record(line, first, last)) return Failure{std::move(m_fault)};
      lastRecordLine = m_line;
    }
    if (lastRecordLine != 0 && !m_ended) {
      m_line = lastRecordLine;
      Fail("файл кончается без записи конца файла (:00000001FF)");
      return Failure{std::move(m_fault)};
    }
    return std::move(m_file);
  }

 private:
  // Keeps the fault of the current line; false, for the record that has it.
  bool Fail(std::string reason) {
    m_fault = {m_line, std::move(reason)};
    return false;
  }

  // The record of line[first..last).
  bool Record(std::string_view line, std::size_t first, std::size_t last) {
    if (line[first] != ':') return Fail("запись не начинается с двоеточия");
    std::string bytes;
    for (std::size_t i = first + 1; i < last; i += 2) {
      const int high = DigitValue(line[i]);
      if (high < 0) return Fail("недопустимый символ в позиции " + std::to_string(i + 1));
      if (i + 1 == last) return Fail("нечётное число шестнадцатеричных цифр");
      const int low = DigitValue(line[i + 1]);
      if (low < 0) return Fail("недопустимый символ в позиции " + std::to_string(i + 2));
      bytes.push_back(static_cast<char>(high << 4 | low));
    }
    if (bytes.size() < 5) return Fail("запись слишком коротка");
    const auto byte = [&bytes](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const std::size_t count = byte(0);
    if (bytes.size() != count + 5) {
      return Fail("поле длины указывает " + Bytes(count) + " данных, а в записи " +
                  Bytes(bytes.size() - 5));
    }
    unsigned sum = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) sum += byte(i);
    if ((sum & 0xFF) != 0) return Fail("неверная контрольная сумма");
    const std::uint64_t offset = byte(1) << 8 | byte(2);
    const std::string_view data = std::string_view(bytes).substr(4, count);
    const auto value16 = [&] { return static_cast<std::uint64_t>(byte(4) << 8 | byte(5)); };
    switch (byte(3)) {
      case 0x00: {
        const std::uint64_t address = m_base + offset;
        if (address + count > kHexAddressLimit) return Fail("данные выходят за адрес 0xFFFFFFFF");
        if (m_file.image.HoldsAny(address, address + count)) {
          return Fail("данные для адреса " + AddressText(address) + " и далее уже были заданы");
        }
        m_file.image.Put(address, data);
        return true;
      }
      case 0x01:
        if (count != 0) return Fail("у записи конца файла не может быть данных");
        m_ended = true;
        return true;
      case 0x02:
      case 0x04:
        if (count != 2) return Fail("в записи адреса должно быть 2 байта данных");
        m_base = value16() << (byte(3) == 0x02 ? 4 : 16);
        return true;
      case 0x03:
      case 0x05: {
        if (count != 4) return Fail("в записи начального адреса должно быть 4 байта данных");
        const HexStartRecord start{
            byte(3), static_cast<std::uint32_t>(value16() << 16 | byte(6) << 8 | byte(7))};
        if (m_file.start && *m_file.start != start) {
          return Fail("второй начальный адрес, не такой, как первый");
        }
        m_file.start = start;
        return true;
      }
      default:
        return Fail("неизвестный тип записи " + ByteText(byte(3)));
    }
  }

  HexFault m_fault;
  HexFile m_file;
  std::size_t m_line = 0;
  std::uint64_t m_base = 0;
  bool m_ended = false;
};

void AppendRecord(std::string& out, std::uint8_t type, std::uint64_t offset, std::string_view data,
                  std::string_view lineEnd) {
  unsigned sum = static_cast<unsigned>(data.size() + (offset >> 8) + (offset & 0xFF) + type);
  out += ':';
  out += ByteText(static_cast<unsigned>(data.size()));
  out += ByteText(static_cast<unsigned>(offset >> 8));
  out += ByteText(static_cast<unsigned>(offset & 0xFF));
  out += ByteText(type);
  for (const char c : data) {
    const auto b = static_cast<unsigned char>(c);
    sum += b;
    out += kDigits[b >> 4];
    out += kDigits[b & 0xF];
  }
  out += ByteText((0x100 - (sum & 0xFF)) & 0xFF);
  out += lineEnd;
}

std::string BigEndian(std::uint64_t value, int bytes) {
  std::string out;
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
  return out;
}

}  // namespace

Result<HexFile, HexFault> ReadIntelHex(std::string_view text) { return HexReader().Read(text); }

std::string HexFaultText(std::string_view path, const HexFault& fault) {
  return "Строка " + std::to_string(fault.line) + " файла \"" + std::string(path) +
         "\": " + fault.reason;
}

std::string WriteIntelHex(const HexFile& file, int recordLength) {
  const std::uint64_t length = recordLength == 32 ? 32 : 16;
  const std::string_view lineEnd = file.lineEnd == LineEnd::Lf ? "\n" : "\r\n";
  std::string out;
  out.reserve(static_cast<std::size_t>(file.image.ByteCount() * 2 +
                                       (file.image.ByteCount() / length + 2) * 16));
  std::uint64_t upper = 0;
  for (const auto& [address, bytes] : file.image.GetRuns()) {
    for (std::size_t done = 0; done < bytes.size();) {
      const std::uint64_t at = address + done;
      if (at >> 16 != upper) {
        upper = at >> 16;
        AppendRecord(out, 0x04, 0, BigEndian(upper, 2), lineEnd);
      }
      // Records start at multiples of their length, which divides 64 KiB.
      const std::size_t count = static_cast<std::size_t>(
          std::min<std::uint64_t>(bytes.size() - done, length - at % length));
      AppendRecord(out, 0x00, at & 0xFFFF, std::string_view(bytes).substr(done, count), lineEnd);
      done += count;
    }
  }
  if (file.start) AppendRecord(out, file.start->type, 0, BigEndian(file.start->value, 4), lineEnd);
  AppendRecord(out, 0x01, 0, {}, lineEnd);
  return out;
}

Result<SparseImage, std::string> ImageInLayout(const SparseImage& hex, HexLayout layout) {
  if (layout == HexLayout::Plain) return hex;
  const std::uint64_t base = HexLayoutBase(layout);
  const std::uint64_t stride = HexLayoutStride(layout);
  SparseImage image;
  const auto& runs = hex.GetRuns();
  auto it = runs.upper_bound(base);
  if (it != runs.begin() && std::prev(it)->first + std::prev(it)->second.size() > base) --it;
  for (; it != runs.end(); ++it) {
    const std::uint64_t from = std::max(base, it->first);
    std::string_view bytes = std::string_view(it->second).substr(from - it->first);
    if (stride == 1) {
      image.Put(from - base, bytes);
      continue;
    }
    // Runs never touch, so a run that starts or ends inside a word leaves
    // that word half given.
    if ((from - base) % 2 != 0) {
      return Failure{"по адресу " + AddressText(from - 1) + " нет младшего байта слова"};
    }
    if (bytes.size() % 2 != 0) {
      return Failure{"по адресу " + AddressText(from + bytes.size()) + " нет старшего байта слова"};
    }
    std::string low(bytes.size() / 2, '\0');
    for (std::size_t i = 0; i < low.size(); ++i) {
      if (bytes[2 * i + 1] != '\0') {
        return Failure{
            "по адресу " + AddressText(from + 2 * i + 1) + " старший байт слова равен 0x" +
            ByteText(static_cast<unsigned char>(bytes[2 * i + 1])) + ", а должен быть 0"};
      }
      low[i] = bytes[2 * i];
    }
    image.Put((from - base) / 2, low);
  }
  return image;
}

void PutInLayout(SparseImage& hex, const SparseImage& image, HexLayout layout) {
  const std::uint64_t base = HexLayoutBase(layout);
  hex.Erase(base, kHexAddressLimit);
  for (const auto& [address, bytes] : image.GetRuns()) {
    if (HexLayoutStride(layout) == 1) {
      hex.Put(base + address, bytes);
      continue;
    }
    std::string words(bytes.size() * 2, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) words[2 * i] = bytes[i];
    hex.Put(base + 2 * address, words);
  }
}

std::string HexLayoutFaultText(std::string_view path, HexLayout layout, std::string_view reason) {
  return "Файл \"" + std::string(path) + "\" не подходит для размещения «" +
         std::string(HexLayoutTitle(layout)) + "»: " + std::string(reason);
}

}  // namespace zeltrix
