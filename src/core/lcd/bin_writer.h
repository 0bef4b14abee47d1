#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/lcd/character_map.h"
#include "core/lcd/engine_text.h"
#include "core/ui/prompter.h"
#include "core/ui/result.h"

namespace zeltrix {

/** Where the codes go: the SaveFile setting and the "Сохранить в:" list. */
enum BinTarget : std::int32_t { kBinNewFile = 0, kBinExistingFile = 1 };

/** Where in an existing file: the AddFile setting and the "Добавить:" list. */
enum BinPlacement : std::int32_t { kBinAtEnd = 0, kBinAtAddress = 1 };

/** How at a start address: the AsAddFile setting and the "Как добавить данные:" list. */
enum BinManner : std::int32_t { kBinInsert = 0, kBinReplace = 1 };

/**
 * The code block of a text: the HD44780 code of each character the display
 * shows, in order, one byte each; the others leave nothing. A Windows-1251
 * text is mapped through the map's byte table, without a map the Cyrillic
 * ROM's (LcdCode); characters through the map.
 */
std::string MapToLcdCodes(std::string_view text, const CharacterMap& map = CharacterMap());
std::string MapToLcdCodes(std::u32string_view text, const CharacterMap& map);
std::string MapToLcdCodes(const EngineText& text, const CharacterMap& map);

/**
 * The value of the start-address field: spaces and tabs skipped, then the
 * decimal digits up to the first other character; no digits read as 0.
 */
std::uint64_t ParseStartAddress(std::string_view field);

/** The refusal of a run without a file: "Не указан путь к файлу!", a warning. */
Message NoBinPathMessage();
/** The refusal of a run without a text: "Отсутствует преобразуемый текст", a warning. */
Message NoBinTextMessage();
/**
 * The notice the caller shows once the codes are written: "Преобразование
 * успешно завершено.", with the information icon.
 */
Message BinWrittenMessage();

/**
 * Prepares the text for WriteBinImage as the Convert command of the BIN
 * dialog does: refuses an empty path (NoBinPathMessage) and an empty text
 * (NoBinTextMessage), turns TABs and line breaks into spaces, runs CleanText
 * when either removal is on and refuses a text that has become empty. A
 * refusal and a lack of memory give the message why. The text is prepared in
 * its own storage: a caller that hands it over keeps no second copy of a long
 * text. The map says which characters the removal keeps: without one, those
 * of the Cyrillic ROM.
 */
Result<std::string> PrepareBinText(std::string_view path, std::string text,
                                   bool removeUndisplayable, bool removeSpaces, int countSpace,
                                   const CharacterMap& map = CharacterMap());
Result<std::u32string> PrepareBinText(std::string_view path, std::u32string text,
                                      bool removeUndisplayable, bool removeSpaces, int countSpace,
                                      const CharacterMap& map);
Result<EngineText> PrepareBinText(std::string_view path, EngineText text, bool removeUndisplayable,
                                  bool removeSpaces, int countSpace, const CharacterMap& map);

/**
 * Writes the codes of the prepared text to the file at path: as a new file,
 * at the end of an existing one, or into it at the start address given as the
 * field's text, inserted or over the old bytes. Asks through the prompter
 * whether to append when the address is not below the file's size, and
 * whether to create a missing file at an address; those are the only
 * messages it shows. Success means the codes were written (the caller then
 * shows BinWrittenMessage); a refusal, a failure and a No to its question
 * ("Преобразование не производилось") give the message for the caller to
 * show. An empty path or text writes nothing and gives the refusal
 * PrepareBinText gives for it.
 *
 * A failure, a kill or a power cut leaves an existing file as it was: every
 * placement builds the whole new file beside the old one and renames it over.
 * The file's FileLock is held from the read of the old file to that rename;
 * when another program holds it too long, nothing is written and that is
 * the failure. A missing existing-file target appears only with the codes in
 * it; a refusal or a failure leaves no file.
 */
Status WriteBinImage(const std::string& path, std::string_view text, BinTarget target,
                     BinPlacement placement, BinManner manner, std::string_view startAddress,
                     Prompter& prompter);

/**
 * WriteBinImage for a code block made already (MapToLcdCodes, or records
 * made otherwise): the same checks, placements, questions and outcomes, the
 * refusal of an empty block included. Nothing is written when the path is
 * empty.
 */
Status WriteBinBlock(const std::string& path, std::string_view codes, BinTarget target,
                     BinPlacement placement, BinManner manner, std::string_view startAddress,
                     Prompter& prompter);

}  // namespace zeltrix
