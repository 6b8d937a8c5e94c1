#include "XmlNotes.h"

#include "XmlOutcome.h"

namespace xml {

std::u16string toU16(std::string_view ascii) {
  return std::u16string(ascii.begin(), ascii.end());
}

void appendNoteEscaped(std::u16string& out, std::u16string_view value) {
  for (char16_t c : value) {
    switch (c) {
      case u'&': out += u"&amp;"; break;
      case u'<': out += u"&lt;"; break;
      case u'>': out += u"&gt;"; break;
      case u'"': out += u"&quot;"; break;
      case u'\'': out += u"&apos;"; break;
      default: out += c;
    }
  }
}

static void appendNumber(std::u16string& out, std::int64_t v) {
  std::string s = std::to_string(v);
  out.append(s.begin(), s.end());
}

void addNote(std::u16string& report, const Note& note) {
  if (report.size() >= kReportLimit) return;
  report += u'<';
  report += note.name;
  if (!note.textName.empty()) {
    report += u' ';
    report += note.textName;
    report += u"=\"";
    appendNoteEscaped(report, note.textValue);
    report += u'"';
  }
  if (!note.numberName.empty()) {
    report += u' ';
    report += note.numberName;
    report += u"=\"";
    appendNumber(report, note.numberValue);
    report += u'"';
  }
  if (note.offset2) {
    report += u" offset2=\"";
    appendNumber(report, *note.offset2);
    report += u'"';
  }
  report += u"/>";
}

void mergeNoteAttribute(std::u16string& report, std::u16string_view name, std::u16string_view attr,
                        std::u16string_view value) {
  std::u16string escaped;
  appendNoteEscaped(escaped, value);
  // Notes are "<name attr=\"v\" .../>" with escaped values, so a '<' always opens a note.
  for (std::size_t at = report.find(u'<'); at != std::u16string::npos; at = report.find(u'<', at + 1)) {
    std::size_t nameEnd = at + 1 + name.size();
    if (report.compare(at + 1, name.size(), name) != 0 || nameEnd >= report.size()) continue;
    if (report[nameEnd] != u' ' && report[nameEnd] != u'/') continue;
    std::size_t close = report.find(u"/>", nameEnd);
    if (close == std::u16string::npos) return;
    std::u16string key = u" " + std::u16string(attr) + u"=\"";
    std::size_t a = report.find(key, nameEnd);
    if (a != std::u16string::npos && a < close) {
      std::size_t v = a + key.size();
      std::size_t q = report.find(u'"', v);
      report.replace(v, q - v, escaped);
    } else {
      report.insert(nameEnd, key + escaped + u"\"");
    }
    return;
  }
  if (report.size() >= kReportLimit) return;
  report += u'<';
  report += name;
  report += u' ';
  report += attr;
  report += u"=\"";
  report += escaped;
  report += u"\"/>";
}

const char* statusName(XmlStatus status) {
  switch (status) {
    case XmlStatus::Ok: return "ok";
    case XmlStatus::FileModeActive: return "file mode active";
    case XmlStatus::OpenFailed: return "open failed";
    case XmlStatus::ReadFailed: return "read failed";
    case XmlStatus::WriteFailed: return "write failed";
    case XmlStatus::SyncFailed: return "sync failed";
    case XmlStatus::CloseFailed: return "close failed";
    case XmlStatus::RenameFailed: return "rename failed";
    case XmlStatus::NoCurrentElement: return "no current element";
    case XmlStatus::InvalidArgument: return "invalid argument";
    case XmlStatus::TooLarge: return "too large";
  }
  return "?";
}

}  // namespace xml
