#include "core/lcd/cgram_plan.h"

#include <algorithm>

#include "core/io/single_byte_codec.h"
#include "core/io/utf8.h"
#include "core/lcd/screen_layout.h"
#include "core/lcd/stand_ins.h"

namespace zeltrix {
namespace {

char32_t CharacterOf(char byte) { return Cp1251ToCodePoint(static_cast<unsigned char>(byte)); }
char32_t CharacterOf(char32_t character) { return character; }

// A glyph the screen's cells need.
struct Need {
  const SourceGlyph* source;
  std::size_t cells = 0;      // cells that show it
  std::size_t firstCell = 0;  // the first of them, row by row
  std::u32string characters;  // first seen first
  bool kept = false;
  int slot = -1;
};

// Plans screen after screen, remembering what each slot holds.
class Planner {
 public:
  explicit Planner(const CgramSetup& setup) : m_setup(setup) {}

  template <class Char>
  void Plan(std::basic_string_view<Char> text, ScreenPage& page, CgramScreen& screen) {
    screen.index = m_index;
    std::swap(screen.page, page);
    screen.characters.resize(screen.page.rows.size());
    screen.kinds.resize(screen.page.rows.size());
    screen.cgramSlots = {};
    screen.loads = false;
    screen.report = CgramReport{};
    screen.report.screen = m_index;
    m_needs.clear();
    ReadCells(text, screen);
    screen.report.needed = m_needs.size();
    Keep();
    screen.loads = Assign();
    for (const Need& need : m_needs) {
      if (need.kept) screen.cgramSlots[need.slot] = {need.source->rows, need.characters};
    }
    Code(screen);
    ++m_index;
  }

 private:
  // What a slot holds on the display, as the screens so far left it.
  struct Held {
    int glyph = -1;  // a source glyph's id; -1 never loaded
    std::size_t lastNeeded = 0;
  };

  // The characters of the cells and how the map shows them; the glyphs needed.
  template <class Char>
  void ReadCells(std::basic_string_view<Char> text, CgramScreen& screen) {
    std::size_t cellNumber = 0;
    for (std::size_t r = 0; r < screen.page.rows.size(); ++r) {
      const LcdRow& row = screen.page.rows[r];
      std::u32string& characters = screen.characters[r];
      std::vector<CharacterKind>& kinds = screen.kinds[r];
      characters.clear();
      kinds.clear();
      // The cells are the row's first shown characters, as the layout counted them.
      for (const Char unit : text.substr(row.start, row.length)) {
        if (characters.size() == row.codes.size()) break;
        const Char shown = unit == Char('\t') ? Char(' ') : unit;
        const MappedChar mapped = m_setup.map.Map(shown);
        if (!mapped.Shown()) continue;
        const char32_t character = CharacterOf(shown);
        characters.push_back(character);
        kinds.push_back(mapped.kind);
        if (mapped.kind == CharacterKind::Custom) Count(character, cellNumber);
        ++cellNumber;
      }
    }
  }

  void Count(char32_t character, std::size_t cellNumber) {
    const SourceGlyph* source = FindSourceGlyph(character);
    if (source == nullptr) return;
    auto need = std::find_if(m_needs.begin(), m_needs.end(),
                             [source](const Need& n) { return n.source->id == source->id; });
    if (need == m_needs.end()) {
      need = m_needs.insert(m_needs.end(), Need{source, 0, cellNumber, {}, false, -1});
    }
    ++need->cells;
    if (need->characters.find(character) == std::u32string::npos) {
      need->characters.push_back(character);
    }
  }

  // The glyphs that get a slot: all, or the 8 in most cells (the first seen on a tie).
  void Keep() {
    std::vector<Need*> order;
    for (Need& need : m_needs) order.push_back(&need);
    std::stable_sort(order.begin(), order.end(),
                     [](const Need* a, const Need* b) { return a->cells > b->cells; });
    const std::size_t kept = std::min<std::size_t>(order.size(), kCgramSlots);
    for (std::size_t i = 0; i < kept; ++i) order[i]->kept = true;
  }

  // Gives each kept glyph its slot; true when one had to be loaded.
  bool Assign() {
    std::array<bool, kCgramSlots> taken{};
    for (Need& need : m_needs) {
      if (!need.kept) continue;
      for (int s = 0; s < kCgramSlots; ++s) {
        if (m_held[s].glyph == need.source->id) {
          need.slot = s;
          taken[s] = true;
        }
      }
    }
    bool loads = false;
    for (Need& need : m_needs) {
      if (!need.kept || need.slot >= 0) continue;
      int best = -1;
      for (int s = 0; s < kCgramSlots; ++s) {
        if (taken[s]) continue;
        if (best < 0 || Sooner(m_held[s], m_held[best])) best = s;
      }
      need.slot = best;
      taken[best] = true;
      loads = true;
    }
    for (const Need& need : m_needs) {
      if (!need.kept) continue;
      m_held[need.slot] = {need.source->id, m_index};
    }
    return loads;
  }

  // Whether slot a is to be overwritten before slot b: a never loaded slot
  // first, then the one whose glyph was needed longest ago.
  static bool Sooner(const Held& a, const Held& b) {
    if ((a.glyph < 0) != (b.glyph < 0)) return a.glyph < 0;
    return a.glyph >= 0 && a.lastNeeded < b.lastNeeded;
  }

  // The final codes of the custom cells: a slot, a stand-in, or a blank.
  void Code(CgramScreen& screen) {
    for (std::size_t r = 0; r < screen.page.rows.size(); ++r) {
      std::string& codes = screen.page.rows[r].codes;
      for (std::size_t c = 0; c < codes.size(); ++c) {
        if (screen.kinds[r][c] != CharacterKind::Custom) continue;
        const char32_t character = screen.characters[r][c];
        const SourceGlyph* source = FindSourceGlyph(character);
        const auto need = std::find_if(m_needs.begin(), m_needs.end(), [source](const Need& n) {
          return source != nullptr && n.source->id == source->id;
        });
        if (need != m_needs.end() && need->kept) {
          codes[c] = static_cast<char>(m_setup.slotBase + need->slot);
          continue;
        }
        const char32_t standIn = StandInFor(m_setup.map.Rom(), character);
        const MappedChar mapped = standIn != 0 ? m_setup.map.Map(standIn) : MappedChar{};
        if (mapped.Shown() && mapped.kind != CharacterKind::Custom) {
          codes[c] = static_cast<char>(mapped.code);
          screen.kinds[r][c] = CharacterKind::StandIn;
          Remember(screen.report.replaced, {character, standIn});
        } else {
          codes[c] = ' ';
          screen.kinds[r][c] = CharacterKind::NotShown;
          if (screen.report.notShown.find(character) == std::u32string::npos) {
            screen.report.notShown.push_back(character);
          }
        }
      }
    }
  }

  static void Remember(std::vector<std::pair<char32_t, char32_t>>& replaced,
                       std::pair<char32_t, char32_t> pair) {
    if (std::find(replaced.begin(), replaced.end(), pair) == replaced.end()) {
      replaced.push_back(pair);
    }
  }

  const CgramSetup& m_setup;
  std::array<Held, kCgramSlots> m_held{};
  std::vector<Need> m_needs;
  std::size_t m_index = 0;
};

template <class Char>
void PlanScreens(std::basic_string_view<Char> text, const CgramSetup& setup,
                 const std::function<bool(const CgramScreen&)>& visit) {
  Planner planner(setup);
  CgramScreen screen;
  ForEachScreen(text, setup.geometry, setup.map, [&](ScreenPage& page) {
    planner.Plan(text, page, screen);
    return visit(screen);
  });
}

}  // namespace

CgramSetup CgramSetupOf(const ProfileRecord& profile) {
  return {CharacterMap(profile.Rom, profile.LookAlikes != 0, true), profile.Size,
          static_cast<std::uint8_t>(profile.CgramCodes == 0 ? 0 : 8)};
}

SlotGlyphs CgramScreen::Glyphs() const {
  SlotGlyphs glyphs{};
  for (std::size_t s = 0; s < cgramSlots.size(); ++s) {
    if (cgramSlots[s].Used()) glyphs[s] = cgramSlots[s].glyph;
  }
  return glyphs;
}

void PlanCgramScreens(std::string_view text, const CgramSetup& setup,
                      const std::function<bool(const CgramScreen&)>& visit) {
  PlanScreens(text, setup, visit);
}

void PlanCgramScreens(std::u32string_view text, const CgramSetup& setup,
                      const std::function<bool(const CgramScreen&)>& visit) {
  PlanScreens(text, setup, visit);
}

void PlanCgramScreens(const EngineText& text, const CgramSetup& setup,
                      const std::function<bool(const CgramScreen&)>& visit) {
  text.Visit([&](const auto& units) { PlanCgramScreens(units, setup, visit); });
}

std::vector<CgramScreen> PlanCgram(const EngineText& text, const CgramSetup& setup) {
  std::vector<CgramScreen> screens;
  PlanCgramScreens(text, setup, [&screens](const CgramScreen& screen) {
    screens.push_back(screen);
    return true;
  });
  return screens;
}

CgramScreen PlanCgramScreen(const EngineText& text, const CgramSetup& setup, std::size_t screen) {
  CgramScreen found;
  found.index = screen;
  found.report.screen = screen;
  PlanCgramScreens(text, setup, [&](const CgramScreen& planned) {
    if (planned.index < screen) return true;
    found = planned;
    return false;
  });
  return found;
}

std::vector<CgramReport> CgramOverflows(const EngineText& text, const CgramSetup& setup) {
  std::vector<CgramReport> reports;
  PlanCgramScreens(text, setup, [&reports](const CgramScreen& screen) {
    if (screen.report.Overflows()) reports.push_back(screen.report);
    return true;
  });
  return reports;
}

std::string CgramMessage(const CgramReport& report) {
  if (!report.Overflows()) return {};
  std::string line = "Экран " + std::to_string(report.screen + 1) + ": нужно своих знаков " +
                     std::to_string(report.needed) + ", помещается " + std::to_string(kCgramSlots);
  if (!report.replaced.empty()) {
    line += "; заменены: ";
    for (std::size_t i = 0; i < report.replaced.size(); ++i) {
      if (i > 0) line += ", ";
      AppendUtf8(line, report.replaced[i].first);
      line += "→";
      AppendUtf8(line, report.replaced[i].second);
    }
  }
  if (!report.notShown.empty()) {
    line += "; не показаны: ";
    for (std::size_t i = 0; i < report.notShown.size(); ++i) {
      if (i > 0) line += ", ";
      AppendUtf8(line, report.notShown[i]);
    }
  }
  return line;
}

std::string CgramMessages(const std::vector<CgramReport>& reports, std::size_t maxLines) {
  std::string text;
  std::size_t lines = 0;
  std::size_t rest = 0;
  for (const CgramReport& report : reports) {
    if (!report.Overflows()) continue;
    if (lines == maxLines) {
      ++rest;
      continue;
    }
    if (lines > 0) text += "\n";
    text += CgramMessage(report);
    ++lines;
  }
  if (rest > 0) {
    text += (lines > 0 ? "\n" : "") + std::string("…и ещё экранов: ") + std::to_string(rest);
  }
  return text;
}

}  // namespace zeltrix
