#pragma once

#include <string>

namespace zeltrix::testing {

/** One profile group as a new profile database writes it. */
inline std::string DefaultGroup(const std::string& name, const std::string& ost1,
                                const std::string& directive, const std::string& block,
                                const std::string& blockEnd, const std::string& data,
                                const std::string& comment, const std::string& countByte,
                                const std::string& countToComment) {
  return "[" + name + "]\r\n" + "Ost1 = " + ost1 + "\r\nOst2 = 4\r\nDirective = " + directive +
         "\r\nStartDataBlok = " + block + "\r\nEndDataBlok = " + blockEnd +
         "\r\nStartData = " + data +
         "\r\nSI = 2\r\nEndData = \r\nRazdelitelData = [String], [/String]\r\nComment = " +
         comment + "\r\nCommentState = 1\r\nCountByte = " + countByte +
         "\r\nPerenosPoSlovam = 0\r\nCountByteToComment = " + countToComment +
         "\r\nDeleteSumbolError = 0\r\nDeleteSpace = 0\r\nCountSpace = 2\r\n";
}

/** The exact bytes of a new Profile.prof: three groups, 54 lines. */
inline const std::string kDefaultDatabase =
    DefaultGroup("ASM \x97 DT For PIC", "4", "Dt", "", "", "0x", "[String]; [/String]", "8", "0") +
    DefaultGroup("ASM \x97 DE For PIC", "4", "De", "", "", "0x", "[String]; [/String]", "8", "0") +
    DefaultGroup("MikroBasic For PIC", "1", "const", "[String]As Byte[] = ([/String]",
                 "[String] )[/String]", "$", "[String]' [/String]", "100", "1");

}  // namespace zeltrix::testing
