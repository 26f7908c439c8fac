// loomctl: command-line companion for the working project file (INI text in
// UTF-16LE, UTF-8 or 8-bit, edited exactly as the wizard's pages edit it) and
// for the attribute table of a built package. Run "loomctl --help" for the usage.
//
// Exit codes: 0 done; 1 nothing found or the edit was not possible (nothing
// written); 2 bad usage or an unreadable or invalid file.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "app/Version.h"
#include "loomctl/Console.h"
#include "project/IniDocument.h"
#include "util/FileIo.h"
#include "util/PackageAttributes.h"
#include "util/Text.h"
#include "util/TextEncoding.h"

namespace {

#define LOOM_U16_(text)      u##text
#define LOOM_U16(text)       LOOM_U16_(text)
#define LOOMWISE_VERSION_U16 LOOM_U16(LOOMWISE_VERSION)

using loomctl::Args;
using loomctl::kBadUsage;
using loomctl::kDone;
using loomctl::kNotDone;

using loomctl::Fail;
using loomctl::Write;

// Words for a Windows error code, as a user reads them.
std::u16string Reason(uint32_t error) {
  switch (error) {
    case loom::kErrorFileNotFound: return u"no such file";
    case loom::kErrorPathNotFound: return u"no such folder";
    case loom::kErrorAccessDenied: return u"permission denied";
    case loom::kErrorSharingViolation: return u"in use by another program";
    case loom::kErrorDiskFull: return u"disk full";
    case loom::kErrorInvalidName: return u"invalid file name";
    case loom::kErrorFileReadOnly: return u"the file is read-only";
    default: return u"error " + loom::Utf8ToUtf16(std::to_string(error));
  }
}

// --- ini ----------------------------------------------------------------------

// Runs one subcommand on the loaded document; false when it found nothing or
// could not edit. `out` receives what is printed.
using IniRun = bool (*)(loom::IniDocument& doc, const Args& a, const char16_t* marker, std::u16string& out);

struct IniCommand {
  std::u16string_view name;
  std::u16string_view operands;  // as shown in the usage, with the options that apply
  std::string_view kinds;        // one letter per operand: s section, k key, t text
  bool edits;                    // saves the file when it succeeds
  IniRun run;
};

const IniCommand kIniCommands[] = {
    {u"sections", u"", "", false,
     [](loom::IniDocument& d, const Args&, const char16_t*, std::u16string& out) {
       for (const auto& name : d.ListSections()) out += name + u"\n";
       return !out.empty();
     }},
    {u"get", u" SECTION KEY", "sk", false,
     [](loom::IniDocument& d, const Args& a, const char16_t*, std::u16string& out) {
       if (!d.FindValue(a[0], a[1], out)) return false;
       out += u"\n";  // an empty value is an empty line
       return true;
     }},
    {u"set", u" SECTION KEY VALUE [--block MARKER] [--line-end auto|crlf]", "skt", true,
     [](loom::IniDocument& d, const Args& a, const char16_t* m, std::u16string&) {
       return d.SetValue(a[0], a[1], a[2], m);
     }},
    {u"delete", u" SECTION KEY", "sk", true,
     [](loom::IniDocument& d, const Args& a, const char16_t*, std::u16string&) { return d.DeleteKey(a[0], a[1]); }},
    {u"comment", u" SECTION KEY", "sk", true,
     [](loom::IniDocument& d, const Args& a, const char16_t*, std::u16string&) { return d.CommentOutKey(a[0], a[1]); }},
    {u"uncomment", u" SECTION KEY", "sk", true,
     [](loom::IniDocument& d, const Args& a, const char16_t*, std::u16string&) { return d.UncommentKey(a[0], a[1]); }},
    {u"delete-block", u" SECTION TEXT", "st", true,
     [](loom::IniDocument& d, const Args& a, const char16_t*, std::u16string&) { return d.DeleteBlock(a[0], a[1]); }},
    {u"rename-section", u" OLD NEW", "ss", true,
     [](loom::IniDocument& d, const Args& a, const char16_t*, std::u16string&) { return d.RenameSection(a[0], a[1]); }},
    {u"delete-section", u" NAME", "s", true,
     [](loom::IniDocument& d, const Args& a, const char16_t*, std::u16string&) { return d.DeleteSection(a[0]); }},
};

std::u16string IniVerbs() {
  std::u16string text;
  for (const auto& c : kIniCommands)
    text += u"  loomctl ini FILE " + std::u16string(c.name) + std::u16string(c.operands) + u"\n";
  return text;
}

// Commands of loomctl besides ini, one usage line each.
std::u16string OtherVerbs() {
  return u"  loomctl package FILE [NAME]\n" + std::u16string(loomctl::kCaptureUsage) +
         u"  loomctl help | --help | -h | --version\n";
}

std::u16string Usage() {
  return u"usage:\n" + IniVerbs() + OtherVerbs() +
         u"\n"
         u"ini edits an INI file as the wizard does: only the characters an edit concerns change;\n"
         u"comments, blank lines, letter case, line ends, the encoding and its byte-order mark stay.\n"
         u"It reads UTF-16LE with a byte-order mark (the project files), UTF-8 with or without one,\n"
         u"and 8-bit text (e.g. the wizard's Wrenlow.ini), whose bytes it keeps as they are; text\n"
         u"added to an 8-bit file must be ASCII. UTF-16 without a mark or big-endian is refused.\n"
         u"Options after the operands, where the command shows them:\n"
         u"  --block MARKER     (set) a new key goes at the end of the block that starts with the\n"
         u"                     comment line MARKER; the block is made at the section's end if absent\n"
         u"  --line-end auto    (set) inserted lines end like the file's first line (the default)\n"
         u"  --line-end crlf    (set) inserted lines end in CR LF, as the wizard writes them\n"
         u"Rules a user meets:\n"
         u"  - A key is the text before the first \"=\", exactly: \"OutDir = bin\" has the key \"OutDir \"\n"
         u"    (with its blank), so \"get S OutDir\" does not find it. Values are taken as written.\n"
         u"  - Section names ignore letter case; keys ignore the case of A-Z only.\n"
         u"  - A line that is neither a key line nor a comment ends the keys of its section: keys\n"
         u"    after it are not found, and set cannot add a key to such a section.\n"
         u"  - set adds a new key as the section's first key line; a section with no line at all, or a\n"
         u"    missing section, cannot take a key (nothing is created).\n"
         u"  - Operands may not hold CR, LF or NUL; section names may not hold \"[\" or \"]\"; keys may\n"
         u"    not hold \"=\" nor begin with \"[\"; a block marker must begin with \";\".\n"
         u"  - The file is replaced by a new one written beside it; a read-only file is refused; a\n"
         u"    symbolic link edits the file it points to; a hard link keeps the old content.\n"
         u"package prints a built package's attributes as name=value lines, or the value of NAME\n"
         u"(names match exactly).\n"
         u"Exit codes: 0 done; 1 nothing found or not done (file unchanged; stderr says what was\n"
         u"missing); 2 bad usage, or a missing, unreadable or invalid file.\n";
}

// Why an operand of that kind is refused; empty when it is acceptable.
std::u16string Refusal(char kind, std::u16string_view text) {
  using Operand = loom::IniDocument::Operand;
  switch (kind) {
    case 's':
      if (!loom::IniDocument::IsAcceptable(Operand::kSection, text))
        return u"a section name may not hold CR, LF, NUL, \"[\" or \"]\"";
      break;
    case 'k':
      if (!loom::IniDocument::IsAcceptable(Operand::kKey, text))
        return u"a key may not hold CR, LF, NUL or \"=\", nor begin with \"[\"";
      break;
    case 'm':
      if (!loom::IniDocument::IsAcceptable(Operand::kMarker, text))
        return u"a block marker is a comment line: it begins with \";\" and holds no CR, LF or NUL";
      break;
    default:
      if (!loom::IniDocument::IsAcceptable(Operand::kText, text)) return u"an operand may not hold CR, LF or NUL";
  }
  return {};
}

// A command that turns FILE into UTF-8 text loomctl reads, from `from` (an
// encoding as the platform's converter names it).
std::u16string ConversionCommand(const std::u16string& path, std::u16string_view from) {
#ifdef _WIN32
  std::u16string ps = from == u"UTF-16BE" ? u"BigEndianUnicode" : u"Unicode";
  return u"powershell -Command \"Get-Content -Encoding " + ps + u" '" + path + u"' | Set-Content -Encoding UTF8 '" +
         path + u".utf8'\"";
#else
  return u"iconv -f " + std::u16string(from) + u" -t UTF-8 '" + path + u"' > '" + path + u".utf8'";
#endif
}

// Reads FILE into doc and tells its encoding; an error message when it cannot
// be used. The document's text always begins with a byte-order mark; one the
// file lacks is added (`markAdded`) and left out again when it is written.
std::u16string LoadIni(const std::u16string& path, loom::IniDocument& doc, loom::FileEncoding& encoding,
                       bool& markAdded) {
  if (loom::FolderExists(path)) return path + u": a folder, not a file";
  std::string bytes;
  uint32_t error = 0;
  if (!loom::ReadWholeFile(path, bytes, &error)) return path + u": " + Reason(error);
  std::u16string text;
  switch (loom::DecodeFileText(bytes, encoding, text)) {
    case loom::DecodeProblem::kNone: break;
    case loom::DecodeProblem::kOddLength:
      return path + u": UTF-16LE text with an odd number of bytes (cut short?); file not read";
    case loom::DecodeProblem::kUtf16BigEndian:
      return path + u": UTF-16 big-endian text, which loomctl does not read; convert it to UTF-8 first:\n  " +
             ConversionCommand(path, u"UTF-16BE");
    case loom::DecodeProblem::kUtf16WithoutMark:
      return path + u": UTF-16 text without a byte-order mark, which loomctl does not read; convert it to UTF-8 " +
             u"first:\n  " + ConversionCommand(path, u"UTF-16LE");
    case loom::DecodeProblem::kNotText: return path + u": holds NUL bytes, so it is not an INI text file";
  }
  markAdded = text.empty() || text[0] != u'\uFEFF';
  doc.LoadFromBytes(loom::ToUtf16LeBytes(markAdded ? u"\uFEFF" + text : text));
  return {};
}

// What is missing when a command found nothing: the section, else the key.
std::u16string WhatIsMissing(const loom::IniDocument& doc, const IniCommand& command, const Args& operands) {
  if (operands.empty()) return u"no sections";
  bool section = false;
  for (const auto& name : doc.ListSections()) section = section || loom::EqualsNoCaseUnicode(name, operands[0]);
  if (!section) {
    std::u16string what = u"no section [" + operands[0] + u"]";
    if (command.name == u"set") what += u"; set adds keys only to existing sections";
    return what;
  }
  if (command.kinds == "sk") return u"no key \"" + operands[1] + u"\" in [" + operands[0] + u"]";
  if (command.name == u"set")
    return u"[" + operands[0] + u"] cannot take a new key (it has no line, or a line that is neither a key nor a " +
           u"comment comes first)";
  if (command.name == u"delete-block")
    return u"no block beginning with \"" + operands[1] + u"\" in [" + operands[0] + u"]";
  return u"not possible";
}

// args: ini FILE COMMAND OPERANDS... [--block MARKER] [--line-end auto|crlf]
int RunIni(const Args& args) {
  if (args.size() < 2) return Fail(kBadUsage, u"usage: loomctl ini FILE COMMAND ... (loomctl --help)");
  if (args.size() == 2) return Fail(kBadUsage, u"ini FILE needs a command:\n" + IniVerbs());
  const IniCommand* command = nullptr;
  for (const auto& c : kIniCommands)
    if (args[2] == c.name) command = &c;
  if (!command) return Fail(kBadUsage, u"unknown ini command \"" + args[2] + u"\"; the commands are:\n" + IniVerbs());
  const std::u16string usage =
      u"usage: loomctl ini FILE " + std::u16string(command->name) + std::u16string(command->operands);
  const size_t count = command->kinds.size();
  if (args.size() < 3 + count) return Fail(kBadUsage, usage);
  Args operands(args.begin() + 3, args.begin() + 3 + count);
  const std::u16string* marker = nullptr;
  auto lineEnd = loom::IniDocument::LineEnd::kAsFile;
  for (size_t i = 3 + count; i < args.size(); i += 2) {
    if (i + 1 >= args.size()) return Fail(kBadUsage, usage);
    if (args[i] == u"--block" && command->name == u"set" && !marker) {
      marker = &args[i + 1];
    } else if (args[i] == u"--line-end" && command->name == u"set" && args[i + 1] == u"auto") {
      lineEnd = loom::IniDocument::LineEnd::kAsFile;
    } else if (args[i] == u"--line-end" && command->name == u"set" && args[i + 1] == u"crlf") {
      lineEnd = loom::IniDocument::LineEnd::kCrLf;
    } else {
      return Fail(kBadUsage, usage);
    }
  }
  for (size_t i = 0; i < count; ++i) {
    const std::u16string why = Refusal(command->kinds[i], operands[i]);
    if (!why.empty()) return Fail(kBadUsage, std::u16string(command->name) + u": " + why);
  }
  if (marker && !Refusal('m', *marker).empty()) return Fail(kBadUsage, u"set: " + Refusal('m', *marker));

  loom::IniDocument doc;
  loom::FileEncoding encoding = loom::FileEncoding::kUtf16Le;
  bool markAdded = false;
  const std::u16string unusable = LoadIni(args[1], doc, encoding, markAdded);
  if (!unusable.empty()) return Fail(kBadUsage, unusable);
  doc.SetLineEnd(lineEnd);
  std::u16string out;
  if (!command->run(doc, operands, marker ? marker->c_str() : nullptr, out)) {
    return Fail(kNotDone, std::u16string(command->name) + u": " + WhatIsMissing(doc, *command, operands) +
                              (command->edits ? u"; file unchanged" : u""));
  }
  std::string bytes;
  if (command->edits) {
    if (!loom::EncodeFileText(encoding, std::u16string_view(doc.Text()).substr(markAdded ? 1 : 0), bytes))
      return Fail(kNotDone, args[1] + u" is 8-bit text, which takes only ASCII text from loomctl; file unchanged " +
                                u"(convert it to UTF-8 or UTF-16LE to add other characters)");
    uint32_t error = 0;
    if (!loom::ReplaceFileContents(args[1], bytes, &error))
      return Fail(kNotDone, error == loom::kErrorFileReadOnly
                                ? args[1] + u" is read-only; file unchanged"
                                : u"cannot write " + args[1] + u": " + Reason(error) + u"; file unchanged");
  }
  if (encoding == loom::FileEncoding::kEightBit && loom::EncodeFileText(encoding, out, bytes)) {
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);  // an 8-bit file's own bytes: its code page is not known
    return kDone;
  }
  Write(stdout, out);
  return kDone;
}

// --- package ------------------------------------------------------------------

// args: package FILE [NAME]
int RunPackage(const Args& args) {
  if (args.size() < 2 || args.size() > 3) return Fail(kBadUsage, u"usage: loomctl package FILE [NAME]");
  if (loom::FolderExists(args[1])) return Fail(kBadUsage, args[1] + u": a folder, not a file");
  uint32_t error = 0;
  const auto header = loom::ReadPackageAttributes(args[1], &error);
  if (!header) {
    std::u16string why = error == loom::kErrorBadExeFormat ? u"not a valid package" : Reason(error);
    return Fail(kBadUsage, args[1] + u": " + why);
  }
  std::u16string out;
  if (args.size() == 3) {
    const auto value = loom::GetPackageAttribute(*header, args[2]);
    if (!value)
      return Fail(kNotDone, args[1] + u" has no attribute \"" + args[2] +
                                u"\" (names match exactly; loomctl package FILE lists them)");
    out = std::u16string(*value) + u"\n";
  } else {
    for (const auto& [name, value] : loom::ListPackageAttributes(*header)) out += name + u"=" + value + u"\n";
    if (out.empty()) return Fail(kNotDone, args[1] + u" has no attributes");
  }
  Write(stdout, out);
  return kDone;
}

// --- dispatch -----------------------------------------------------------------

struct Tool {
  std::u16string_view name;
  int (*run)(const Args&);
};

const Tool kTools[] = {
    {u"ini", RunIni},
    {u"package", RunPackage},
    {u"help",
     [](const Args&) {
       Write(stdout, Usage());
       return kDone;
     }},
    {u"capture", loomctl::RunCapture},
    {u"answers", loomctl::RunAnswers},
    {u"report", loomctl::RunReport},
    {u"--help",
     [](const Args&) {
       Write(stdout, Usage());
       return kDone;
     }},
    {u"-h",
     [](const Args&) {
       Write(stdout, Usage());
       return kDone;
     }},
    {u"--version",
     [](const Args&) {
       Write(stdout, u"loomctl " LOOMWISE_VERSION_U16 u"\n");
       return kDone;
     }},
};

int Run(const Args& args) {
  for (const auto& tool : kTools)
    if (!args.empty() && args[0] == tool.name) return tool.run(args);
  if (args.empty()) return Fail(kBadUsage, Usage());
  return Fail(kBadUsage, u"unknown command \"" + args[0] + u"\" (loomctl --help lists the commands)");
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  Args args;
  for (int i = 1; i < argc; ++i) args.emplace_back(reinterpret_cast<const char16_t*>(argv[i]));
  return Run(args);
}
#else
int main(int argc, char** argv) {
  Args args;
  for (int i = 1; i < argc; ++i) args.push_back(loom::Utf8ToUtf16(argv[i]));
  return Run(args);
}
#endif
