// Moving a document between files and memory: byte order marks, the declared encoding, the
// UTF-8 test and conversion. Writes are atomic: a temporary file beside the target is
// written, flushed to disk and renamed over it.
#include "XmlTextFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <bit>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "CXmlDocument.h"
#include "NodeScanner.h"
#include "TextCodec.h"
#include "Utf.h"
#include "XmlCharsets.h"
#include "XmlNotes.h"

using namespace xml;

namespace {

constexpr std::size_t kPrefixBytes = 1024;
// Pieces of a file read or written at once: small beside any document worth timing.
constexpr std::size_t kChunkBytes = 1 << 16;

struct BomRow {
  const char* bytes;
  std::size_t length;
  std::u16string_view encoding;
  unsigned flag;
  int unitSize;
};
constexpr BomRow kBoms[] = {
    {"\xEF\xBB\xBF", 3, u"UTF-8", DOCFLAG_UTF8_BOM, 1},
    {"\xFF\xFE", 2, u"UTF-16LE", DOCFLAG_UTF16LE_FILE, 2},
    {"\xFE\xFF", 2, u"UTF-16BE", DOCFLAG_UTF16BE_FILE, 2},
};

void fileError(std::u16string* report, int err) {
  if (!report) return;
  std::string msg = std::strerror(err);
  if (auto cut = msg.find_first_of("\r\n"); cut != std::string::npos) msg.resize(cut);
  if (msg.size() > 100) msg.resize(100);
  const std::u16string m = toU16(msg);
  addNote(*report, {.name = u"file_error", .textName = u"msg", .textValue = m, .numberName = u"n", .numberValue = err});
}

void note(std::u16string* report, const Note& n) {
  if (report) addNote(*report, n);
}

// Reads up to n bytes; fewer only at the end of the file. -1 on error.
long long readFull(int fd, void* buf, std::size_t n) {
  std::size_t got = 0;
  while (got < n) {
    const ssize_t r = ::read(fd, static_cast<char*>(buf) + got, n - got);
    if (r < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (r == 0) break;
    got += std::size_t(r);
  }
  return (long long)got;
}

// Writes all n bytes; `done` receives how many got written before a failure.
bool writeFull(int fd, const void* buf, std::size_t n, std::size_t& done) {
  done = 0;
  while (done < n) {
    const ssize_t r = ::write(fd, static_cast<const char*>(buf) + done, n - done);
    if (r < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += std::size_t(r);
  }
  return true;
}

// Case-folded comparison of a span of the text with an ASCII word.
bool equalsFolded(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (foldAscii(a[i]) != foldAscii(b[i])) return false;
  return true;
}

// The raw value of attribute `name` in the tag text [begin, end); nullopt when missing.
std::optional<std::u16string_view> tagAttribute(std::u16string_view text, std::size_t begin, std::size_t end,
                                                std::u16string_view name) {
  auto nameEnds = [](char16_t c) { return isXmlSpace(c) || c == u'/' || c == u'=' || c == u'>' || c == u'?'; };
  std::size_t i = begin;
  while (i < end && !nameEnds(text[i])) ++i;
  while (i < end) {
    while (i < end && isXmlSpace(text[i])) ++i;
    if (i >= end || text[i] == u'/' || text[i] == u'>' || text[i] == u'?') break;
    if (text[i] == u'"' || text[i] == u'\'') {
      const char16_t q = text[i++];
      while (i < end && text[i] != q) ++i;
      ++i;
      continue;
    }
    const std::size_t ns = i;
    while (i < end && !nameEnds(text[i])) ++i;
    const std::u16string_view attr = text.substr(ns, i - ns);
    std::size_t k = i;
    while (k < end && isXmlSpace(text[k])) ++k;
    std::u16string_view value = attr;
    if (k < end && text[k] == u'=') {
      ++k;
      while (k < end && isXmlSpace(text[k])) ++k;
      std::size_t vs = k, ve;
      if (k < end && (text[k] == u'"' || text[k] == u'\'')) {
        const char16_t q = text[k];
        vs = k + 1;
        ve = vs;
        while (ve < end && text[ve] != q) ++ve;
        i = ve + 1;
      } else {
        ve = k;
        while (ve < end && !isXmlSpace(text[ve]) && text[ve] != u'>') ++ve;
        i = ve;
      }
      value = text.substr(vs, ve - vs);
    }
    if (!attr.empty() && equalsFolded(attr, name)) return value;
  }
  return std::nullopt;
}

bool isWordChar(char16_t c) {
  return !(isXmlSpace(c) || c == u';' || c == u',' || c == u'=' || c == u'"' || c == u'\'');
}

// "charset", '=', and the next word, in a Content-Type value.
std::u16string charsetOf(std::u16string_view content) {
  for (std::size_t i = 0; i + 7 <= content.size(); ++i) {
    if (!equalsFolded(content.substr(i, 7), u"charset")) continue;
    if (i > 0 && isWordChar(content[i - 1])) continue;
    std::size_t k = i + 7;
    if (k < content.size() && isWordChar(content[k])) continue;
    while (k < content.size() && isXmlSpace(content[k])) ++k;
    if (k >= content.size() || content[k] != u'=') continue;
    ++k;
    while (k < content.size() && isXmlSpace(content[k])) ++k;
    const std::size_t ws = k;
    while (k < content.size() && isWordChar(content[k])) ++k;
    return std::u16string(content.substr(ws, k - ws));
  }
  return {};
}

// Converts bytes of a code page to UTF-16, our own way where we can.
std::u16string bytesToUtf16(int codePage, std::string_view bytes) {
  if (codePage == kCodePageUtf8 || (codePage == kCodePageSystemAnsi && codec::systemCodePageIsUtf8()))
    return utf::utf8ToUtf16(bytes);
  if (codePage == kCodePageUtf32Marker) return utf::utf32leToUtf16(bytes);
  return codec::toUtf16(codePage, bytes);
}

std::string utf16ToBytes(int codePage, std::u16string_view text, bool& loss) {
  if (codePage == kCodePageUtf8 || (codePage == kCodePageSystemAnsi && codec::systemCodePageIsUtf8()))
    return utf::utf16ToUtf8(text, &loss);
  if (codePage == kCodePageUtf32Marker) return utf::utf16ToUtf32le(text);
  return codec::fromUtf16(codePage, text, loss);
}

std::size_t removeZeros(std::string& bytes) {
  std::size_t w = 0;
  for (std::size_t r = 0; r < bytes.size(); ++r)
    if (bytes[r] != '\0') bytes[w++] = bytes[r];
  const std::size_t removed = bytes.size() - w;
  bytes.resize(w);
  return removed;
}

std::size_t removeZeroUnits(std::u16string& text) {
  std::size_t w = 0;
  for (std::size_t r = 0; r < text.size(); ++r)
    if (text[r] != 0) text[w++] = text[r];
  const std::size_t removed = text.size() - w;
  text.resize(w);
  return removed;
}

class FileCloser {
 public:
  explicit FileCloser(int fd) : fd_(fd) {}
  ~FileCloser() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileCloser(const FileCloser&) = delete;
  FileCloser& operator=(const FileCloser&) = delete;
  int release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

}  // namespace

std::u16string xml::probeEncoding(std::u16string_view text) {
  NodeScanner scanner(text);
  ScannedNode node = scanner.scan(0);
  if (node.kind == NODE_PROCESSING_INSTRUCTION &&
      equalsFolded(text.substr(node.nameStart, node.nameLength), u"xml")) {
    auto v = tagAttribute(text, node.start + 2, node.start + node.length, u"encoding");
    return v ? CXmlDocument::UnescapeText(*v) : std::u16string();
  }
  // Otherwise the first start tag must be "html".
  while (node.kind != NODE_ELEMENT) {
    if (node.kind == NODE_END_TAG || node.kind == NODE_ERROR || node.kind == NODE_END_OF_TEXT) return {};
    node = scanner.scan(node.start + node.length);
  }
  if (!equalsFolded(text.substr(node.nameStart, node.nameLength), u"html")) return {};
  for (;;) {
    node = scanner.scan(node.start + node.length);
    if (node.kind == NODE_ERROR || node.kind == NODE_END_OF_TEXT) return {};
    const std::u16string_view name = text.substr(node.nameStart, node.nameLength);
    if (node.kind == NODE_END_TAG && equalsFolded(name, u"head")) return {};
    if (node.kind != NODE_ELEMENT || !equalsFolded(name, u"meta")) continue;
    const std::size_t b = node.start + 1, e = node.start + node.length;
    auto equiv = tagAttribute(text, b, e, u"http-equiv");
    auto content = tagAttribute(text, b, e, u"content");
    if (equiv && content && equalsFolded(CXmlDocument::UnescapeText(*equiv), u"Content-Type")) {
      std::u16string cs = charsetOf(CXmlDocument::UnescapeText(*content));
      if (!cs.empty()) return cs;
    }
  }
}

XmlOutcome CXmlDocument::ReadTextFile(const std::filesystem::path& path, std::u16string& text,
                                      std::u16string* result, unsigned* flags) {
  std::u16string report;
  unsigned mode = (flags ? *flags : 0) | DOCFLAG_READ_FILE;
  auto finish = [&](XmlOutcome outcome) {
    if (result) *result = std::move(report);
    if (outcome.ok() && flags) *flags = mode & ~DOCFLAG_MODE_MASK;
    return outcome;
  };

  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    const int err = errno;
    fileError(&report, err);
    text.clear();
    return finish({XmlStatus::OpenFailed, 0, err});
  }
  FileCloser closer(fd);
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const int err = S_ISDIR(st.st_mode) ? EISDIR : errno;
    fileError(&report, err);
    text.clear();
    return finish({XmlStatus::ReadFailed, 0, err});
  }
  const std::size_t size = std::size_t(st.st_size);

  std::u16string encoding;
  int unitSize = 1;
  unsigned bomFlag = 0;
  std::size_t bomLength = 0;
  std::string prefix;
  if (size != 0) {
    prefix.resize(std::min(size, kPrefixBytes));
    const long long got = readFull(fd, prefix.data(), prefix.size());
    if (got < 0) {
      const int err = errno;
      fileError(&report, err);
      text.clear();
      return finish({XmlStatus::ReadFailed, 0, err});
    }
    prefix.resize(std::size_t(got));
    mode &= ~DOCFLAG_BOM_MASK;
    for (const BomRow& row : kBoms) {
      if (prefix.size() >= row.length && std::memcmp(prefix.data(), row.bytes, row.length) == 0) {
        bomFlag = row.flag;
        bomLength = row.length;
        unitSize = row.unitSize;
        encoding = row.encoding;
        mode |= row.flag;
        break;
      }
    }
    if (!bomFlag) {
      encoding = probeEncoding(utf::utf8ToUtf16(prefix));
      if (encoding.empty() && !prefix.empty() && prefix[0] == '<') encoding = u"UTF-8";
    } else {
      note(&report, {.name = u"bom"});
    }
  }

  // The rest of the file: what the prefix holds after the BOM, then what follows it. The
  // size taken at opening bounds the read, so a file growing meanwhile cannot overrun.
  const std::size_t rest = size > bomLength ? size - bomLength : 0;
  std::size_t zeros = 0;
  text.clear();
  if (rest == 0) {
    note(&report, {.name = u"read", .textName = u"encoding", .textValue = encoding, .numberName = u"length", .numberValue = 0});
  } else if (unitSize == 2) {
    text.resize(rest / 2);
    char* out = reinterpret_cast<char*>(text.data());
    const std::size_t fromPrefix = std::min(prefix.size() - bomLength, rest / 2 * 2);
    std::memcpy(out, prefix.data() + bomLength, fromPrefix);
    const long long got = readFull(fd, out + fromPrefix, rest / 2 * 2 - fromPrefix);
    if (got < 0) {
      const int err = errno;
      fileError(&report, err);
      text.clear();
      return finish({XmlStatus::ReadFailed, bomLength + fromPrefix, err});
    }
    text.resize((fromPrefix + std::size_t(got)) / 2);
    if constexpr (std::endian::native == std::endian::big) {
      for (char16_t& u : text) u = char16_t((u >> 8) | (u << 8));
    }
    note(&report, {.name = u"read", .textName = u"encoding", .textValue = encoding, .numberName = u"length",
                   .numberValue = (long long)text.size()});
    if ((zeros = removeZeroUnits(text)))
      note(&report, {.name = u"nulls_removed", .numberName = u"count", .numberValue = (long long)zeros});
    if (bomFlag == DOCFLAG_UTF16BE_FILE) {
      for (char16_t& u : text) u = char16_t((u >> 8) | (u << 8));
      note(&report, {.name = u"endian_swap"});
    }
  } else if (codePageOfName(encoding) == kCodePageUtf8) {
    // The fast path every profile takes: pieces of the file decoded straight into the text,
    // which never needs more units than the file has bytes.
    note(&report, {.name = u"read", .textName = u"encoding", .textValue = encoding, .numberName = u"length",
                   .numberValue = (long long)rest});
    text.resize(rest);
    std::vector<unsigned char> buf(std::min(rest, kChunkBytes) + 4);
    std::size_t have = prefix.size() - bomLength;
    std::memcpy(buf.data(), prefix.data() + bomLength, have);
    std::size_t remaining = rest - have;  // bytes still to read from the file
    std::size_t produced = 0;
    for (;;) {
      bool eof = remaining == 0;
      if (!eof && have < buf.size()) {
        const long long got = readFull(fd, buf.data() + have, std::min(buf.size() - have, remaining));
        if (got < 0) {
          const int err = errno;
          fileError(&report, err);
          text.clear();
          return finish({XmlStatus::ReadFailed, bomLength + (rest - remaining), err});
        }
        if (got == 0) remaining = 0;  // the file shrank meanwhile
        remaining -= std::min(remaining, std::size_t(got));
        have += std::size_t(got);
        eof = remaining == 0;
      }
      std::size_t units = 0;
      const std::size_t used = utf::decodeUtf8(buf.data(), have, text.data() + produced, units, zeros, eof);
      produced += units;
      std::memmove(buf.data(), buf.data() + used, have - used);
      have -= used;
      if (eof && have == 0) break;
    }
    text.resize(produced);
    if (zeros) note(&report, {.name = u"nulls_removed", .numberName = u"count", .numberValue = (long long)zeros});
    note(&report, {.name = u"converted_to", .textName = u"encoding", .textValue = u"UTF-16", .numberName = u"length",
                   .numberValue = (long long)text.size()});
  } else {
    std::string bytes(rest, '\0');
    const std::size_t fromPrefix = prefix.size() - bomLength;
    std::memcpy(bytes.data(), prefix.data() + bomLength, fromPrefix);
    const long long got = readFull(fd, bytes.data() + fromPrefix, rest - fromPrefix);
    if (got < 0) {
      const int err = errno;
      fileError(&report, err);
      text.clear();
      return finish({XmlStatus::ReadFailed, bomLength + fromPrefix, err});
    }
    bytes.resize(fromPrefix + std::size_t(got));
    note(&report, {.name = u"read", .textName = u"encoding", .textValue = encoding, .numberName = u"length",
                   .numberValue = (long long)bytes.size()});
    if ((zeros = removeZeros(bytes)))
      note(&report, {.name = u"nulls_removed", .numberName = u"count", .numberValue = (long long)zeros});
    if (encoding.empty()) {
      if (utf::passesUtf8Test(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size())) {
        encoding = u"UTF-8";
        mergeNoteAttribute(report, u"read", u"encoding", encoding);
      }
      note(&report, {.name = u"utf8_detection"});
    }
    text = bytesToUtf16(codePageOfName(encoding), bytes);
    note(&report, {.name = u"converted_to", .textName = u"encoding", .textValue = u"UTF-16", .numberName = u"length",
                   .numberValue = (long long)text.size()});
  }
  if (::close(closer.release()) != 0) fileError(&report, errno);
  return finish({});
}

namespace {

// Temporary files are named ".<target name>.tmp-<pid>-<n>" beside the target. The save that
// owns one holds an exclusive flock on it until the rename, so a file of that name that can
// be locked belongs to a save that was killed: the next save to the same target removes it.
std::string tempPrefix(const std::filesystem::path& target) {
  return "." + target.filename().string() + ".tmp-";
}

bool isTempName(std::string_view name, std::string_view prefix) {
  if (!name.starts_with(prefix)) return false;
  name.remove_prefix(prefix.size());
  const std::size_t dash = name.find('-');
  if (dash == 0 || dash == std::string_view::npos || dash + 1 == name.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i)
    if (i != dash && (name[i] < '0' || name[i] > '9')) return false;
  return true;
}

std::filesystem::path folderOf(const std::filesystem::path& target) {
  return target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
}

// Removes the temporary files of killed saves to `target`. A file that a live save holds
// cannot be locked and stays; so does anything on a file system without flock. Failures
// only mean that a leftover stays a little longer.
void removeLeftoverTemps(const std::filesystem::path& target) {
  const std::string prefix = tempPrefix(target);
  std::error_code ec;
  std::filesystem::directory_iterator it(folderOf(target), ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    const std::filesystem::path& path = it->path();
    if (!isTempName(path.filename().string(), prefix)) continue;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat held {}, named {};
    if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        ::lstat(path.c_str(), &named) == 0 && named.st_ino == held.st_ino && named.st_dev == held.st_dev)
      ::unlink(path.c_str());
    ::close(fd);
  }
}

// A temporary file beside the target, removed unless committed, and locked while it lives.
class TempFile {
 public:
  explicit TempFile(const std::filesystem::path& target) {
    static std::atomic<unsigned> counter{0};
    const std::string prefix = tempPrefix(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
      path_ = folderOf(target) / (prefix + std::to_string(::getpid()) + '-' + std::to_string(counter++));
      fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd_ < 0) {
        if (errno != EEXIST) break;
        continue;
      }
      if (lockedAndNamed()) break;
      // Another save's sweep took the file between its creation and the lock: a new name.
      ::close(fd_);
      fd_ = -1;
      errno = EEXIST;
    }
    if (fd_ < 0) {
      const int err = errno;  // what the caller reports
      path_.clear();
      errno = err;
    }
  }
  ~TempFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!committed_ && !path_.empty()) ::unlink(path_.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  int fd() const { return fd_; }
  const std::filesystem::path& path() const { return path_; }
  int closeFd() {
    const int r = ::close(fd_);
    fd_ = -1;
    return r;
  }
  void committed() { committed_ = true; }

 private:
  // The lock marks the file as in use; it is taken without waiting (a sweep holds a lock
  // only for the moment of its check). Without flock support the file is simply unlocked,
  // and no sweep can lock it either.
  bool lockedAndNamed() const {
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) return errno != EWOULDBLOCK && errno != EINTR;
    struct stat held {}, named {};
    return ::fstat(fd_, &held) == 0 && ::lstat(path_.c_str(), &named) == 0 && named.st_ino == held.st_ino &&
           named.st_dev == held.st_dev;
  }

  std::filesystem::path path_;
  int fd_ = -1;
  bool committed_ = false;
};

// Counts what goes into the temporary file and remembers the first failure.
struct Writer {
  int fd;
  std::size_t written = 0;
  int error = 0;
  bool put(const void* data, std::size_t n) {
    if (error) return false;
    std::size_t done = 0;
    if (!writeFull(fd, data, n, done)) {
      error = errno ? errno : EIO;
      written += done;
      return false;
    }
    written += n;
    return true;
  }
};

}  // namespace

XmlOutcome CXmlDocument::WriteTextFile(const std::filesystem::path& path, std::u16string_view text,
                                       std::u16string* result, unsigned* flags) {
  std::u16string report;
  unsigned mode = (flags ? *flags : 0) | DOCFLAG_WRITE_FILE;
  auto finish = [&](XmlOutcome outcome) {
    if (result) *result = std::move(report);
    if (outcome.ok() && flags) *flags = mode & ~DOCFLAG_MODE_MASK;
    return outcome;
  };
  auto fail = [&](XmlStatus status, std::size_t offset, int err) {
    fileError(&report, err);
    return finish({status, offset, err});
  };

  // Through a symbolic link the file it names is replaced, not the link.
  std::error_code ec;
  std::filesystem::path target = path;
  if (std::filesystem::is_symlink(path, ec)) {
    const std::filesystem::path resolved = std::filesystem::canonical(path, ec);
    if (!ec) target = resolved;
  }

  removeLeftoverTemps(target);
  TempFile temp(target);
  if (temp.fd() < 0) return fail(XmlStatus::OpenFailed, 0, errno);
  Writer out{temp.fd()};

  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (exists) ::fchmod(temp.fd(), old.st_mode & 07777);  // the new file keeps the old one's permissions

  std::size_t existing = 0;
  if ((mode & DOCFLAG_APPEND_FILE) && exists) {
    // Appending: the old content is copied first, so a failure still leaves it intact.
    const int in = ::open(target.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return fail(XmlStatus::OpenFailed, 0, errno);
    FileCloser inCloser(in);
    std::vector<char> buf(kChunkBytes);
    for (;;) {
      const long long got = readFull(in, buf.data(), buf.size());
      if (got < 0) return fail(XmlStatus::ReadFailed, existing, errno);
      if (got == 0) break;
      if (!out.put(buf.data(), std::size_t(got))) return fail(XmlStatus::WriteFailed, out.written, out.error);
      existing += std::size_t(got);
    }
  }

  std::u16string encoding;
  int unitSize = 1;
  unsigned bomFlag = 0;
  for (const BomRow& row : kBoms) {
    if (mode & row.flag) {
      bomFlag = row.flag;
      encoding = row.encoding;
      unitSize = row.unitSize;
      if (existing == 0) {
        if (!out.put(row.bytes, row.length)) return fail(XmlStatus::WriteFailed, out.written, out.error);
        note(&report, {.name = u"bom"});
      }
      break;
    }
  }
  if (!bomFlag && !text.empty()) {
    encoding = probeEncoding(text);
    if (encoding.empty()) encoding = u"UTF-8";
  }

  if (text.empty()) {
    note(&report, {.name = u"write", .textName = u"encoding", .textValue = encoding, .numberName = u"length", .numberValue = 0});
  } else if (unitSize == 2) {
    const bool swap = (bomFlag == DOCFLAG_UTF16BE_FILE) != (std::endian::native == std::endian::big);
    if (bomFlag == DOCFLAG_UTF16BE_FILE) note(&report, {.name = u"endian_swap"});
    std::vector<char16_t> buf;
    for (std::size_t i = 0; i < text.size(); i += kChunkBytes / 2) {
      const std::size_t n = std::min(kChunkBytes / 2, text.size() - i);
      const char16_t* piece = text.data() + i;
      if (swap) {
        buf.assign(piece, piece + n);
        for (char16_t& u : buf) u = char16_t((u >> 8) | (u << 8));
        piece = buf.data();
      }
      if (!out.put(piece, n * 2)) return fail(XmlStatus::WriteFailed, out.written, out.error);
    }
    note(&report, {.name = u"write", .textName = u"encoding", .textValue = encoding, .numberName = u"length",
                   .numberValue = (long long)text.size()});
  } else {
    const int codePage = codePageOfName(encoding);
    bool loss = false;
    std::size_t bytes = 0;
    if (codePage == kCodePageUtf8 || (codePage == kCodePageSystemAnsi && codec::systemCodePageIsUtf8())) {
      // Converted and written piece by piece; a surrogate pair is never split.
      constexpr std::size_t kUnits = kChunkBytes / 4;
      std::vector<char> buf(kUnits * 3 + 4);
      std::size_t i = 0;
      while (i < text.size()) {
        const std::size_t n = std::min(kUnits, text.size() - i);
        const bool final = i + n == text.size();
        std::size_t produced = 0;
        const std::size_t used = utf::encodeUtf8(text.data() + i, n, buf.data(), produced, loss, final);
        if (!out.put(buf.data(), produced)) return fail(XmlStatus::WriteFailed, out.written, out.error);
        bytes += produced;
        if (used == 0) break;  // a piece always holds at least one whole character
        i += used;
      }
    } else {
      const std::string converted = utf16ToBytes(codePage, text, loss);
      if (!out.put(converted.data(), converted.size())) return fail(XmlStatus::WriteFailed, out.written, out.error);
      bytes = converted.size();
    }
    note(&report, {.name = u"converted_from", .textName = u"encoding", .textValue = u"UTF-16", .numberName = u"length",
                   .numberValue = (long long)text.size()});
    if (loss) note(&report, {.name = u"conversion_loss"});
    note(&report, {.name = u"write", .textName = u"encoding", .textValue = encoding, .numberName = u"length",
                   .numberValue = (long long)bytes});
  }

  if (::fsync(temp.fd()) != 0) return fail(XmlStatus::SyncFailed, out.written, errno);
  if (temp.closeFd() != 0) return fail(XmlStatus::CloseFailed, out.written, errno);
  if (::rename(temp.path().c_str(), target.c_str()) != 0) return fail(XmlStatus::RenameFailed, out.written, errno);
  temp.committed();
  // Make the rename itself durable; a failure here no longer endangers either file.
  const int dfd = ::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  return finish({});
}

XmlOutcome CXmlDocument::LoadFile(const std::filesystem::path& path) {
  if (flags_ & (DOCFLAG_READ_FILE | DOCFLAG_WRITE_FILE)) return {XmlStatus::FileModeActive};
  std::u16string text, notes;
  const XmlOutcome outcome = ReadTextFile(path, text, &notes, &flags_);
  if (text.size() > 0xFFFFFFFEu) {
    text.clear();
    addNote(notes, {.name = u"file_error", .textName = u"msg", .textValue = u"File too large", .numberName = u"n", .numberValue = EFBIG});
    text_ = std::move(text);
    result_ = std::move(notes);
    parse();
    return {XmlStatus::TooLarge, 0, EFBIG};
  }
  // Parsed even when reading failed: the document is then empty, never left with an index
  // that does not match its text.
  text_ = std::move(text);
  result_ = std::move(notes);
  parse();
  return outcome;
}

XmlOutcome CXmlDocument::SaveFile(const std::filesystem::path& path) {
  if (flags_ & (DOCFLAG_READ_FILE | DOCFLAG_WRITE_FILE)) return {XmlStatus::FileModeActive};
  return WriteTextFile(path, text_, &result_, &flags_);
}
