#pragma once
// The result report: a run of empty elements, one per note, on one line.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace xml {

struct Note {
  std::u16string_view name;
  std::u16string_view textName = {};  // "type", "encoding", "msg" or "tagname"; empty for none
  std::u16string_view textValue = {};
  std::u16string_view numberName = {};  // "n", "count", "length" or "offset"; empty for none
  std::int64_t numberValue = 0;
  std::optional<std::int64_t> offset2 = {};
};

// Once the report holds this many characters, further notes are dropped.
inline constexpr std::size_t kReportLimit = 1000;

// Appends the note to the report (unless the report is full).
void addNote(std::u16string& report, const Note& note);

// Sets attribute `attr` to `value` on the first note called `name`, replacing its value when
// the note already has that attribute, else inserting it right after the note's name.
// Without such a note, a new note with just that attribute is added.
void mergeNoteAttribute(std::u16string& report, std::u16string_view name, std::u16string_view attr,
                        std::u16string_view value);

// Escapes & < > " ' for a note attribute value.
void appendNoteEscaped(std::u16string& out, std::u16string_view value);

std::u16string toU16(std::string_view ascii);

}  // namespace xml
