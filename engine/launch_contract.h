// The launch contract between the Explorer extension and the program, shared
// by both: the program's file name, the command-line token, the parameter file
// beside both binaries, its format, and the caption of every message box.
//
// The parameter file is a concatenation of entries: '"', path, '"', ' ' (no
// header, no line break, no terminator), in Shift_JIS.
#pragma once

namespace contract {

constexpr const char kCaption[] = "Larkspan";
constexpr const char kProgramFileName[] = "Larkspan.exe";
constexpr const char kLaunchToken[] = "LarkspanCall";
constexpr const char kParameterFileName[] = "lkpara.dat";
// One entry of the parameter file: kQuote, path, kQuote, kEntryEnd.
constexpr char kQuote = '"';
constexpr char kEntryEnd = ' ';

}  // namespace contract
