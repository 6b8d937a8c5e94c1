// Parse, load, walk, build, save and peak memory of CXmlDocument beside pugixml, tinyxml2
// and libxml2, on generated profile-like documents of 1, 10 and 100 MB (CR LF lines).
//
//   kx30_xml_bench --benchmark_format=json [--benchmark_filter=...]
//
// Peak memory is counted by replacing the global allocation functions (and pugixml's and
// libxml2's allocators) with counting ones; it is reported as the counter peak_per_byte:
// peak live heap bytes during the operation, divided by the document's UTF-8 size.
#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <malloc.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <new>
#include <pugixml.hpp>
#include <string>
#include <tinyxml2.h>

#include "CXmlDocument.h"
#include "Utf.h"

// The counting allocator pairs operator new with free() on purpose.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {

std::atomic<long long> gLive{0};
std::atomic<long long> gPeak{0};

void countAlloc(std::size_t n) {
  const long long live = gLive.fetch_add((long long)n) + (long long)n;
  long long peak = gPeak.load();
  while (live > peak && !gPeak.compare_exchange_weak(peak, live)) {
  }
}

void* countedMalloc(std::size_t n) {
  void* p = std::malloc(n);
  if (p) countAlloc(malloc_usable_size(p));
  return p;
}
void countedFree(void* p) {
  if (!p) return;
  gLive.fetch_sub((long long)malloc_usable_size(p));
  std::free(p);
}
void* countedRealloc(void* p, std::size_t n) {
  const std::size_t old = p ? malloc_usable_size(p) : 0;
  void* q = std::realloc(p, n);
  if (q) {
    gLive.fetch_sub((long long)old);
    countAlloc(malloc_usable_size(q));
  }
  return q;
}
char* countedStrdup(const char* s) {
  const std::size_t n = std::strlen(s) + 1;
  char* p = static_cast<char*>(countedMalloc(n));
  if (p) std::memcpy(p, s, n);
  return p;
}

void resetPeak() { gPeak.store(gLive.load()); }
long long peakSince(long long base) { return gPeak.load() - base; }

// A profile-like document: the sections of a saved configuration, then KEY blocks with
// ComboKey/List/x entries until the size is reached.
std::string generate(std::size_t target) {
  std::string s = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<KelvaneX30>\r\n";
  const char* list = "<List SizeOfView=\"9\" ViewStartAt=\"0\" CursorPos=\"0\" Cycles=\"1\" IsAutoInterval=\"0\" Delay=\"0\"";
  for (const char* section : {"PredefinedCombo", "PredefinedMacro", "PredefinedEmu"}) {
    s += "<"; s += section; s += ">\r\n"; s += list; s += "/>\r\n</"; s += section; s += ">\r\n";
  }
  s += "<BackgroundLightSettings>\r\n";
  for (int a = 1; a <= 4; ++a) s += "<AREA ID=\"" + std::to_string(a) + "\" Red=\"255\" Green=\"128\" Blue=\"0\"/>\r\n";
  s += "</BackgroundLightSettings>\r\n<CurrentSettings>\r\n";
  const char* texts[] = {"Left CTRL Down", "A Down", "&lt;20 ms&gt;", "A Up", "Left CTRL Up", "Mouse Key Left", "Page Down"};
  for (long k = 0; s.size() < target; ++k) {
    s += "<KEY ID=\"" + std::to_string(k % 87 + 1) + "\" Level=\"" + std::to_string(k / 87 % 2) +
         "\" Light=\"0\" Mode=\"3\" HWCode=\"" + std::to_string(k % 199 + 1) + "\">\r\n<ComboKey>\r\n";
    s += list; s += ">\r\n";
    for (int i = 0; i < 7; ++i) {
      s += "<x ID=\"" + std::to_string(i) + "\" t1=\"" + texts[(k + i) % 7] + "\">\r\n";
      s += list; s += "/>\r\n</x>\r\n";
    }
    s += "</List>\r\n</ComboKey>\r\n</KEY>\r\n";
  }
  s += "</CurrentSettings>\r\n</KelvaneX30>\r\n";
  return s;
}

struct Fixture {
  std::string utf8;
  std::u16string utf16;
  std::filesystem::path file;
};

const Fixture& fixture(std::size_t mb) {
  // The peers leave millions of small freed blocks behind; consolidate them here, outside
  // the timed loop, or the next large allocation pays for it.
  malloc_trim(0);
  static std::map<std::size_t, Fixture> cache;
  auto it = cache.find(mb);
  if (it != cache.end()) return it->second;
  Fixture f;
  f.utf8 = generate(mb << 20);
  f.utf16 = xml::utf::utf8ToUtf16(f.utf8);
  f.file = std::filesystem::temp_directory_path() / ("kx30-xml-bench-" + std::to_string(::getpid()) + "-" + std::to_string(mb) + ".pro");
  std::ofstream(f.file, std::ios::binary).write(f.utf8.data(), std::streamsize(f.utf8.size()));
  return cache.emplace(mb, std::move(f)).first->second;
}

std::filesystem::path outPath(const char* who) {
  return std::filesystem::temp_directory_path() / ("kx30-xml-bench-" + std::to_string(::getpid()) + "-out-" + who + ".pro");
}

void finish(benchmark::State& state, const Fixture& f, long long peak) {
  state.SetBytesProcessed((long long)state.iterations() * (long long)f.utf8.size());
  if (peak >= 0) state.counters["peak_per_byte"] = double(peak) / double(f.utf8.size());
}

// ---- parse from memory -------------------------------------------------------------------

void Ours_ParseUtf16(benchmark::State& state) {
  const Fixture& f = fixture(std::size_t(state.range(0)));
  for (auto _ : state) {
    CXmlDocument doc(f.utf16);
    benchmark::DoNotOptimize(doc.ElementCount());
  }
  finish(state, f, -1);
}

void Ours_ParseUtf8(benchmark::State& state) {  // conversion + parse, as a load without the file
  const Fixture& f = fixture(std::size_t(state.range(0)));
  for (auto _ : state) {
    CXmlDocument doc(xml::utf::utf8ToUtf16(f.utf8));
    benchmark::DoNotOptimize(doc.ElementCount());
  }
  finish(state, f, -1);
}

void Pugi_Parse(benchmark::State& state) {
  const Fixture& f = fixture(std::size_t(state.range(0)));
  for (auto _ : state) {
    pugi::xml_document doc;
    benchmark::DoNotOptimize(doc.load_buffer(f.utf8.data(), f.utf8.size(), pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_declaration));
  }
  finish(state, f, -1);
}

void Tinyxml2_Parse(benchmark::State& state) {
  const Fixture& f = fixture(std::size_t(state.range(0)));
  for (auto _ : state) {
    tinyxml2::XMLDocument doc(true, tinyxml2::PRESERVE_WHITESPACE);
    benchmark::DoNotOptimize(doc.Parse(f.utf8.data(), f.utf8.size()));
  }
  finish(state, f, -1);
}

void Libxml2_Parse(benchmark::State& state) {
  const Fixture& f = fixture(std::size_t(state.range(0)));
  for (auto _ : state) {
    xmlDocPtr doc = xmlReadMemory(f.utf8.data(), int(f.utf8.size()), "x.pro", nullptr, XML_PARSE_HUGE);
    benchmark::DoNotOptimize(doc);
    xmlFreeDoc(doc);
  }
  finish(state, f, -1);
}

// ---- load from a UTF-8 file (read + conversion + parse), with peak memory ----------------

void Ours_LoadFile(benchmark::State& state) {
  const Fixture& f = fixture(std::size_t(state.range(0)));
  long long peak = 0;
  for (auto _ : state) {
    const long long base = gLive.load();
    resetPeak();
    CXmlDocument doc;
    benchmark::DoNotOptimize(doc.LoadFile(f.file).ok());
    peak = std::max(peak, peakSince(base));
  }
  finish(state, f, peak);
}

void Pugi_LoadFile(benchmark::State& state) {
  const Fixture& f = fixture(std::size_t(state.range(0)));
  long long peak = 0;
  for (auto _ : state) {
    const long long base = gLive.load();
    resetPeak();
    pugi::xml_document doc;
    benchmark::DoNotOptimize(doc.load_file(f.file.c_str(), pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_declaration));
    peak = std::max(peak, peakSince(base));
  }
  finish(state, f, peak);
}

void Tinyxml2_LoadFile(benchmark::State& state) {
  const Fixture& f = fixture(std::size_t(state.range(0)));
  long long peak = 0;
  for (auto _ : state) {
    const long long base = gLive.load();
    resetPeak();
    tinyxml2::XMLDocument doc(true, tinyxml2::PRESERVE_WHITESPACE);
    benchmark::DoNotOptimize(doc.LoadFile(f.file.c_str()));
    peak = std::max(peak, peakSince(base));
  }
  finish(state, f, peak);
}

void Libxml2_LoadFile(benchmark::State& state) {
  const Fixture& f = fixture(std::size_t(state.range(0)));
  long long peak = 0;
  for (auto _ : state) {
    const long long base = gLive.load();
    resetPeak();
    xmlDocPtr doc = xmlReadFile(f.file.c_str(), nullptr, XML_PARSE_HUGE);
    peak = std::max(peak, peakSince(base));
    xmlFreeDoc(doc);
  }
  finish(state, f, peak);
}

// ---- walk every element, reading one attribute -------------------------------------------

void Ours_Walk(benchmark::State& state) {
  const Fixture& f = fixture(std::size_t(state.range(0)));
  CXmlDocument doc(f.utf16);
  for (auto _ : state) {
    std::size_t total = 0, depth = 0;
    doc.ResetPosition();
    for (;;) {
      if (doc.FindElement()) {
        total += doc.GetAttribute(u"ID").size();
        doc.EnterElement();
        ++depth;
      } else {
        if (depth == 0) break;
        doc.LeaveElement();
        --depth;
      }
    }
    benchmark::DoNotOptimize(total);
  }
  finish(state, f, -1);
}

void Pugi_Walk(benchmark::State& state) {
  const Fixture& f = fixture(std::size_t(state.range(0)));
  pugi::xml_document doc;
  doc.load_buffer(f.utf8.data(), f.utf8.size(), pugi::parse_default | pugi::parse_ws_pcdata);
  for (auto _ : state) {
    std::size_t total = 0;
    pugi::xml_node n = doc.first_child();
    while (n) {
      if (n.type() == pugi::node_element) total += std::strlen(n.attribute("ID").value());
      if (n.first_child()) n = n.first_child();
      else {
        while (n && !n.next_sibling()) n = n.parent();
        if (n) n = n.next_sibling();
      }
    }
    benchmark::DoNotOptimize(total);
  }
  finish(state, f, -1);
}

// ---- build the same document ---------------------------------------------------------------

// The shape of generate(): how many KEY blocks a document of this size holds.
long keyBlocks(const Fixture& f) {
  long n = 0;
  for (std::size_t at = f.utf8.find("<KEY "); at != std::string::npos; at = f.utf8.find("<KEY ", at + 1)) ++n;
  return n;
}

void Ours_Build(benchmark::State& state) {
  const Fixture& f = fixture(std::size_t(state.range(0)));
  const long keys = keyBlocks(f);
  const std::u16string texts[] = {u"Left CTRL Down", u"A Down", u"<20 ms>", u"A Up", u"Left CTRL Up", u"Mouse Key Left", u"Page Down"};
  std::size_t elements = 0;
  for (auto _ : state) {
    CXmlDocument doc(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
    auto list = [&](bool enter) {
      doc.AddElement(u"List");
      doc.SetAttribute(u"SizeOfView", 9);
      doc.SetAttribute(u"ViewStartAt", 0);
      doc.SetAttribute(u"CursorPos", 0);
      doc.SetAttribute(u"Cycles", 1);
      doc.SetAttribute(u"IsAutoInterval", 0);
      doc.SetAttribute(u"Delay", 0);
      if (enter) doc.EnterElement();
    };
    doc.AddElement(u"KelvaneX30");
    doc.EnterElement();
    doc.AddElement(u"CurrentSettings");
    doc.EnterElement();
    for (long k = 0; k < keys; ++k) {
      doc.AddElement(u"KEY");
      doc.SetAttribute(u"ID", int(k % 87 + 1));
      doc.SetAttribute(u"Level", int(k / 87 % 2));
      doc.SetAttribute(u"Light", 0);
      doc.SetAttribute(u"Mode", 3);
      doc.SetAttribute(u"HWCode", int(k % 199 + 1));
      doc.EnterElement();
      doc.AddElement(u"ComboKey");
      doc.EnterElement();
      list(true);
      for (int i = 0; i < 7; ++i) {
        doc.AddElement(u"x");
        doc.SetAttribute(u"ID", i);
        doc.SetAttribute(u"t1", texts[(k + i) % 7]);
        doc.EnterElement();
        list(false);
        doc.LeaveElement();
      }
      doc.LeaveElement();
      doc.LeaveElement();
      doc.LeaveElement();
    }
    elements = doc.ElementCount();
    benchmark::DoNotOptimize(doc.GetDocumentText().size());
  }
  finish(state, f, -1);
  state.SetItemsProcessed((long long)state.iterations() * (long long)elements);
}

void Pugi_Build(benchmark::State& state) {
  const Fixture& f = fixture(std::size_t(state.range(0)));
  const long keys = keyBlocks(f);
  const char* texts[] = {"Left CTRL Down", "A Down", "<20 ms>", "A Up", "Left CTRL Up", "Mouse Key Left", "Page Down"};
  std::size_t elements = 0;
  for (auto _ : state) {
    pugi::xml_document doc;
    elements = 2;
    auto list = [&](pugi::xml_node parent) {
      pugi::xml_node l = parent.append_child("List");
      l.append_attribute("SizeOfView") = 9;
      l.append_attribute("ViewStartAt") = 0;
      l.append_attribute("CursorPos") = 0;
      l.append_attribute("Cycles") = 1;
      l.append_attribute("IsAutoInterval") = 0;
      l.append_attribute("Delay") = 0;
      ++elements;
      return l;
    };
    pugi::xml_node cs = doc.append_child("KelvaneX30").append_child("CurrentSettings");
    for (long k = 0; k < keys; ++k) {
      pugi::xml_node key = cs.append_child("KEY");
      key.append_attribute("ID") = int(k % 87 + 1);
      key.append_attribute("Level") = int(k / 87 % 2);
      key.append_attribute("Light") = 0;
      key.append_attribute("Mode") = 3;
      key.append_attribute("HWCode") = int(k % 199 + 1);
      pugi::xml_node l = list(key.append_child("ComboKey"));
      elements += 2;
      for (int i = 0; i < 7; ++i) {
        pugi::xml_node x = l.append_child("x");
        x.append_attribute("ID") = i;
        x.append_attribute("t1") = texts[(k + i) % 7];
        ++elements;
        list(x);
      }
    }
    benchmark::DoNotOptimize(doc.first_child());
  }
  finish(state, f, -1);
  state.SetItemsProcessed((long long)state.iterations() * (long long)elements);
}

// ---- save a loaded document unchanged ------------------------------------------------------

void Ours_Save(benchmark::State& state) {
  const Fixture& f = fixture(std::size_t(state.range(0)));
  CXmlDocument doc;
  doc.LoadFile(f.file);
  const auto out = outPath("ours");
  for (auto _ : state) benchmark::DoNotOptimize(doc.SaveFile(out).ok());
  finish(state, f, -1);
  std::ifstream in(out, std::ios::binary);
  std::string bytes(f.utf8.size(), '\0');
  in.read(bytes.data(), std::streamsize(bytes.size()));
  state.counters["identical"] = (bytes == f.utf8 && std::filesystem::file_size(out) == f.utf8.size()) ? 1 : 0;
  std::filesystem::remove(out);
}

// The serialisers alone, into memory: our UTF-16 to UTF-8 conversion of the text against
// pugixml's writer. (Ours_Save also pays the fsync that makes the save atomic and durable.)
void Ours_SerialiseToMemory(benchmark::State& state) {
  const Fixture& f = fixture(std::size_t(state.range(0)));
  CXmlDocument doc;
  doc.LoadFile(f.file);
  for (auto _ : state) benchmark::DoNotOptimize(xml::utf::utf16ToUtf8(doc.GetDocumentText()).size());
  finish(state, f, -1);
}

struct StringWriter : pugi::xml_writer {
  std::string out;
  void write(const void* data, std::size_t size) override { out.append(static_cast<const char*>(data), size); }
};

void Pugi_SerialiseToMemory(benchmark::State& state) {
  const Fixture& f = fixture(std::size_t(state.range(0)));
  pugi::xml_document doc;
  doc.load_buffer(f.utf8.data(), f.utf8.size(), pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_declaration);
  for (auto _ : state) {
    StringWriter w;
    doc.save(w, "", pugi::format_raw);
    benchmark::DoNotOptimize(w.out.size());
  }
  finish(state, f, -1);
}

void Pugi_Save(benchmark::State& state) {
  const Fixture& f = fixture(std::size_t(state.range(0)));
  pugi::xml_document doc;
  doc.load_buffer(f.utf8.data(), f.utf8.size(), pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_declaration);
  const auto out = outPath("pugi");
  for (auto _ : state) benchmark::DoNotOptimize(doc.save_file(out.c_str(), "", pugi::format_raw));
  finish(state, f, -1);
  std::filesystem::remove(out);
}

void Tinyxml2_Save(benchmark::State& state) {
  const Fixture& f = fixture(std::size_t(state.range(0)));
  tinyxml2::XMLDocument doc(true, tinyxml2::PRESERVE_WHITESPACE);
  doc.Parse(f.utf8.data(), f.utf8.size());
  const auto out = outPath("tinyxml2");
  for (auto _ : state) benchmark::DoNotOptimize(doc.SaveFile(out.c_str(), true));
  finish(state, f, -1);
  std::filesystem::remove(out);
}

void Libxml2_Save(benchmark::State& state) {
  const Fixture& f = fixture(std::size_t(state.range(0)));
  xmlDocPtr doc = xmlReadMemory(f.utf8.data(), int(f.utf8.size()), "x.pro", nullptr, XML_PARSE_HUGE);
  const auto out = outPath("libxml2");
  for (auto _ : state) benchmark::DoNotOptimize(xmlSaveFile(out.c_str(), doc));
  xmlFreeDoc(doc);
  finish(state, f, -1);
  std::filesystem::remove(out);
}

void sizes(benchmark::internal::Benchmark* b) {
  b->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(Ours_ParseUtf16)->Apply(sizes);
BENCHMARK(Ours_ParseUtf8)->Apply(sizes);
BENCHMARK(Pugi_Parse)->Apply(sizes);
BENCHMARK(Tinyxml2_Parse)->Apply(sizes);
BENCHMARK(Libxml2_Parse)->Apply(sizes);
BENCHMARK(Ours_LoadFile)->Apply(sizes);
BENCHMARK(Pugi_LoadFile)->Apply(sizes);
BENCHMARK(Tinyxml2_LoadFile)->Apply(sizes);
BENCHMARK(Libxml2_LoadFile)->Apply(sizes);
BENCHMARK(Ours_Walk)->Apply(sizes);
BENCHMARK(Pugi_Walk)->Apply(sizes);
BENCHMARK(Ours_Build)->Apply(sizes);
BENCHMARK(Pugi_Build)->Apply(sizes);
BENCHMARK(Ours_Save)->Apply(sizes);
BENCHMARK(Pugi_Save)->Apply(sizes);
BENCHMARK(Ours_SerialiseToMemory)->Apply(sizes);
BENCHMARK(Pugi_SerialiseToMemory)->Apply(sizes);
BENCHMARK(Tinyxml2_Save)->Apply(sizes);
BENCHMARK(Libxml2_Save)->Apply(sizes);

}  // namespace

// Every heap allocation of the program goes through the counters.
void* operator new(std::size_t n) {
  if (void* p = countedMalloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t n) { return operator new(n); }
void operator delete(void* p) noexcept { countedFree(p); }
void operator delete[](void* p) noexcept { countedFree(p); }
void operator delete(void* p, std::size_t) noexcept { countedFree(p); }
void operator delete[](void* p, std::size_t) noexcept { countedFree(p); }

int main(int argc, char** argv) {
  pugi::set_memory_management_functions(countedMalloc, countedFree);
  xmlMemSetup(countedFree, countedMalloc, countedRealloc, countedStrdup);
  xmlInitParser();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  for (std::size_t mb : {1, 10, 100}) {
    std::error_code ec;
    std::filesystem::remove(std::filesystem::temp_directory_path() /
                                ("kx30-xml-bench-" + std::to_string(::getpid()) + "-" + std::to_string(mb) + ".pro"), ec);
  }
  return 0;
}
