// Wine registry hive text from a prefix is outside data: reading it must not crash, hang
// or write past a bound, and what we write must read back to the same keys and values.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "RegistryHive.h"

namespace {

void Check(const std::string& text) {
  yarb::reg::Hive hive;
  std::string error;
  if (!hive.Parse(text, &error)) return;
  // Untouched, the text comes back unchanged, apart from separators between blocks.
  std::string kept = hive.Serialize();
  // Rewritten as Wine writes it, it reads back to the same tree.
  std::vector<yarb::reg::Key*> stack{&hive.Root()};
  while (!stack.empty()) {
    yarb::reg::Key* k = stack.back();
    stack.pop_back();
    k->changed = true;
    for (auto& s : k->subkeys) stack.push_back(s.get());
  }
  std::string rewritten = hive.Serialize();
  yarb::reg::Hive again;
  if (!again.Parse(rewritten, &error)) std::abort();
  std::vector<std::pair<const yarb::reg::Key*, const yarb::reg::Key*>> pairs{{&hive.Root(), &again.Root()}};
  while (!pairs.empty()) {
    auto [a, b] = pairs.back();
    pairs.pop_back();
    if (a->subkeys.size() != b->subkeys.size() || a->values.size() != b->values.size()) std::abort();
    for (size_t i = 0; i < a->values.size(); ++i) {
      const auto& x = a->values[i];
      const auto& y = b->values[i];
      if (yarb::reg::CompareNames(x.name, y.name) != 0 || x.type != y.type || x.data != y.data) std::abort();
    }
    for (size_t i = 0; i < a->subkeys.size(); ++i) {
      if (yarb::reg::CompareNames(a->subkeys[i]->name, b->subkeys[i]->name) != 0) std::abort();
      pairs.emplace_back(a->subkeys[i].get(), b->subkeys[i].get());
    }
  }
  (void)kept;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  Check(text);
  // Most inputs lack the header line; read them behind one too.
  Check("WINE REGISTRY Version 2\n" + text);
  return 0;
}
