// Registry keys and values over the hives, with link keys and the 32-bit view.
#include "WinePrefixInternal.h"

namespace yarb {

using namespace prefix_detail;

// ---------------------------------------------------------------------------------------
// Registry

namespace {

const std::u16string kWow = u"Wow6432Node";

std::vector<std::u16string> RootNames(RegRoot root, const std::u16string& sid) {
  switch (root) {
    case RegRoot::ClassesRoot: return {u"Machine", u"Software", u"Classes"};
    case RegRoot::CurrentUser: return {u"User", sid};
    case RegRoot::LocalMachine: return {u"Machine"};
    case RegRoot::Users: return {u"User"};
    case RegRoot::CurrentConfig:
      return {u"Machine", u"System", u"CurrentControlSet", u"Hardware Profiles", u"Current"};
  }
  return {};
}

std::u16string ValueText(const reg::Value& v) {
  std::u16string w;
  for (size_t i = 0; i + 1 < v.data.size(); i += 2) w.push_back(static_cast<char16_t>(v.data[i] | (v.data[i + 1] << 8)));
  while (!w.empty() && w.back() == 0) w.pop_back();
  return w;
}

}  // namespace

WinePrefix::RegNode WinePrefix::Child(const RegNode& node, const std::u16string& name) {
  RegNode out;
  if (node.virt == 1) {
    if (EqualNoCase(name, u"Machine")) out.key = &system_->Root();
    else if (EqualNoCase(name, u"User")) out.virt = 2;
  } else if (node.virt == 2) {
    if (EqualNoCase(name, userSid_)) out.key = &user_->Root();
    else if (haveUserdef_ && EqualNoCase(name, u".Default")) out.key = &userdef_->Root();
  } else if (node.key) {
    out.key = node.key->FindSubkey(name);
  }
  return out;
}

reg::Key* WinePrefix::FollowLink(reg::Key* key, int depth) {
  if (!key || !key->link) return key;
  if (depth > 16) return nullptr;
  const reg::Value* v = key->FindValue(u"SymbolicLinkValue");
  if (!v) return nullptr;
  std::u16string target = ValueText(*v);
  const std::u16string prefix = u"\\Registry\\";
  if (target.size() <= prefix.size() || !EqualNoCase(target.substr(0, prefix.size()), prefix)) return nullptr;
  RegNode node;
  node.virt = 1;
  size_t i = prefix.size();
  while (i < target.size()) {
    size_t j = target.find(u'\\', i);
    if (j == std::u16string::npos) j = target.size();
    if (j > i) {
      node = Child(node, target.substr(i, j - i));
      if (!node.valid()) return nullptr;
      if (node.key && !(node.key = FollowLink(node.key, depth + 1))) return nullptr;
    }
    i = j + 1;
  }
  return node.key;
}

bool WinePrefix::IsSharedClasses(const reg::Key* key) const {
  const reg::Key* classes = key->parent;
  const reg::Key* software = classes ? classes->parent : nullptr;
  return software && software->parent == &system_->Root() && EqualNoCase(key->name, kWow) &&
         EqualNoCase(classes->name, u"Classes") && EqualNoCase(software->name, u"Software");
}

reg::Key* WinePrefix::Wow(reg::Key* key, const std::u16string& next) {
  if (!view32_ || !key || EqualNoCase(key->name, kWow) || EqualNoCase(next, kWow)) return key;
  reg::Key* sub = key->FindSubkey(kWow);
  return sub ? sub : key;
}

bool WinePrefix::Walk(RegRoot root, const std::string& key, RegNode* out, size_t* consumed,
                      std::vector<std::u16string>* names) {
  *names = RootNames(root, userSid_);
  size_t rootCount = names->size();
  for (auto& n : SplitKeyPath(key)) names->push_back(n);
  RegNode node;
  node.virt = 1;
  size_t i = 0;
  while (i < names->size()) {
    RegNode child = Child(node, (*names)[i]);
    if (!child.valid() && view32_ && node.key && IsSharedClasses(node.key)) {
      // Classes\Wow6432Node only holds what differs for 32-bit programs; the rest is
      // found (and made) in the 64-bit Classes key.
      node.key = node.key->parent;
      child = Child(node, (*names)[i]);
    }
    if (!child.valid()) break;
    node = child;
    ++i;
    if (i == names->size()) break;
    if (node.key) {
      node.key = FollowLink(Wow(node.key, (*names)[i]), 0);
      if (!node.key) return false;
    }
  }
  if (i == names->size() && node.key) {
    node.key = FollowLink(Wow(node.key, u""), 0);
    if (!node.key) return false;
  }
  *out = node;
  *consumed = i;
  return i >= rootCount || i == names->size();
}

reg::Key* WinePrefix::OpenKey(RegRoot root, const std::string& key) {
  RegNode node;
  size_t consumed;
  std::vector<std::u16string> names;
  if (!Walk(root, key, &node, &consumed, &names) || consumed != names.size()) return nullptr;
  return node.key;
}

reg::Hive* WinePrefix::HiveOf(const reg::Key* key) {
  while (key && key->parent) key = key->parent;
  if (key == &system_->Root()) return system_.get();
  if (key == &user_->Root()) return user_.get();
  if (key == &userdef_->Root()) return userdef_.get();
  return nullptr;
}

bool WinePrefix::RegKeyExists(RegRoot root, const std::string& key) {
  RegNode node;
  size_t consumed;
  std::vector<std::u16string> names;
  return Walk(root, key, &node, &consumed, &names) && consumed == names.size() && node.valid();
}

bool WinePrefix::RegCreateKey(RegRoot root, const std::string& key) {
  RegNode node;
  size_t consumed;
  std::vector<std::u16string> names;
  if (!Walk(root, key, &node, &consumed, &names)) return Fail("The registry key " + key + " cannot be made.");
  if (consumed == names.size() && node.valid()) return true;
  if (!node.key) return Fail("The registry key " + key + " cannot be made.");
  if (names.size() > reg::kMaxKeyDepth) return Fail("The registry key " + key + " is nested too deeply.");
  for (size_t i = consumed; i < names.size(); ++i)
    if (names[i].size() > reg::kMaxNameLength) return Fail("A name in the registry key " + key + " is too long.");
  if (!CanChange()) return false;
  uint64_t now = reg::CurrentFileTime();
  reg::Key* k = node.key;
  for (size_t i = consumed; i < names.size(); ++i) k = k->AddSubkey(names[i], now);
  if (reg::Hive* h = HiveOf(k)) h->SetModified();
  return true;
}

bool WinePrefix::RegDeleteKey(RegRoot root, const std::string& key) {
  reg::Key* k = OpenKey(root, key);
  if (!k) return Fail("The registry key " + key + " does not exist.");
  if (!k->parent) return Fail("The registry key " + key + " is a root key.");
  if (!k->subkeys.empty()) return Fail("The registry key " + key + " has subkeys.");
  if (!CanChange()) return false;
  reg::Hive* h = HiveOf(k);
  k->parent->RemoveSubkey(k);
  if (h) h->SetModified();
  return true;
}

bool WinePrefix::RegEnumKey(RegRoot root, const std::string& key, uint32_t index, std::string* name) {
  RegNode node;
  size_t consumed;
  std::vector<std::u16string> names;
  if (!Walk(root, key, &node, &consumed, &names) || consumed != names.size()) return Fail("The registry key " + key + " does not exist.");
  if (node.virt == 2) {
    std::vector<std::u16string> users;
    if (haveUserdef_) users.push_back(u".Default");
    users.push_back(userSid_);
    if (index >= users.size()) return false;
    *name = Utf16ToAnsi(users[index]);
    return true;
  }
  if (!node.key || index >= node.key->subkeys.size()) return false;
  *name = Utf16ToAnsi(node.key->subkeys[index]->name);
  return true;
}

bool WinePrefix::RegEnumValue(RegRoot root, const std::string& key, uint32_t index, std::string* name,
                              RegValue* value) {
  reg::Key* k = OpenKey(root, key);
  if (!k || index >= k->values.size()) return false;
  *name = Utf16ToAnsi(k->values[index].name);
  if (value) *value = ToAnsiValue(k->values[index]);
  return true;
}

bool WinePrefix::RegQueryValue(RegRoot root, const std::string& key, const std::string& name, RegValue* value) {
  reg::Key* k = OpenKey(root, key);
  if (!k) return Fail("The registry key " + key + " does not exist.");
  const reg::Value* v = k->FindValue(W(name));
  if (!v) return Fail("The registry value " + name + " does not exist.");
  if (value) *value = ToAnsiValue(*v);
  return true;
}

bool WinePrefix::RegSetValue(RegRoot root, const std::string& key, const std::string& name, const RegValue& value) {
  reg::Key* k = OpenKey(root, key);
  if (!k) return Fail("The registry key " + key + " does not exist.");
  if (name.size() > 16383) return Fail("The registry value name is too long.");
  if (!CanChange()) return false;
  k->SetValue(W(name), value.type, FromAnsiData(value), reg::CurrentFileTime());
  if (reg::Hive* h = HiveOf(k)) h->SetModified();
  return true;
}

bool WinePrefix::RegDeleteValue(RegRoot root, const std::string& key, const std::string& name) {
  reg::Key* k = OpenKey(root, key);
  if (!k) return Fail("The registry key " + key + " does not exist.");
  if (!k->FindValue(W(name))) return Fail("The registry value " + name + " does not exist.");
  if (!CanChange()) return false;
  k->RemoveValue(W(name), reg::CurrentFileTime());
  if (reg::Hive* h = HiveOf(k)) h->SetModified();
  return true;
}

}  // namespace yarb
