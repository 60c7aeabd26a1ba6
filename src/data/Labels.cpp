#include "data/Labels.h"

#include <array>
#include <cstdint>
#include <cstdio>

#include "app/Fatal.h"
#include "text/NameTable.h"

namespace twk {
namespace {

#define TWK_NAME_CATEGORY(name, kind) #name,
constexpr std::array<const char*, kCategoryCount> kCategoryNames = {
    TWK_CATEGORY_LIST(TWK_NAME_CATEGORY)};
#undef TWK_NAME_CATEGORY

#define TWK_KIND_CATEGORY(name, kind) kind,
// One more entry for id 9 (no category), whose cells have no record.
constexpr std::array<int, kCategoryCount + 1> kCategoryKinds = {
    TWK_CATEGORY_LIST(TWK_KIND_CATEGORY) 0};
#undef TWK_KIND_CATEGORY

#define TWK_NAME_LABEL(name) #name,
constexpr std::array<const char*, kLabelCount> kLabelNames = {TWK_LABEL_LIST(TWK_NAME_LABEL)};
#undef TWK_NAME_LABEL

// Category and label names share one table; category entries carry a tag
// bit so that a category name is never taken for a label or the other way.
constexpr std::intptr_t kCategoryTag = std::intptr_t{1} << 16;

struct Names {
  NameTable table{1031};
  bool categoriesIn = false;
  bool labelsIn = false;
};

Names& TheNames() {
  static Names names;
  return names;
}

std::string WithName(const char* format, const std::string& name) {
  std::string text = format;
  text.replace(text.find("%s"), 2, name);
  return text;
}

}  // namespace

int CategoryId(const std::string& name) {
  if (name.empty()) return CT_None;
  Names& n = TheNames();
  if (!n.categoriesIn) {
    n.categoriesIn = true;
    for (int i = 0; i < kCategoryCount; ++i) n.table.Insert(kCategoryNames[i], i | kCategoryTag);
  }
  const std::intptr_t* v = n.table.Find(name);
  if (v == nullptr || (*v & kCategoryTag) == 0)
    Fatal(WithName("Cannot use the specified category.\n'%s'", name));
  return static_cast<int>(*v & ~kCategoryTag);
}

int LabelId(const std::string& name) {
  if (name.empty()) return CL_None;
  Names& n = TheNames();
  if (!n.labelsIn) {
    n.labelsIn = true;
    for (int i = 0; i < kLabelCount; ++i) n.table.Insert(kLabelNames[i], i);
  }
  const std::intptr_t* v = n.table.Find(name);
  if (v == nullptr || (*v & kCategoryTag) != 0)
    Fatal(WithName("Cannot use the specified cell.\n'%s'", name));
  return static_cast<int>(*v);
}

std::string LabelName(int id) {
  if (id < 0 || id >= kLabelCount) return {};
  return kLabelNames[static_cast<std::size_t>(id)];
}

std::string CategoryName(int id) {
  if (id < 0 || id >= kCategoryCount) return {};
  return kCategoryNames[static_cast<std::size_t>(id)];
}

int KindOfCategory(int id) {
  if (id < 0 || id > kCategoryCount) {
    char text[64];
    std::snprintf(text, sizeof text, "Unknown Cell Category. (%d)", id);
    Fatal(text);
  }
  return kCategoryKinds[static_cast<std::size_t>(id)];
}

}  // namespace twk
