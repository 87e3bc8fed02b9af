#include "setup/translator/form_translation_win.h"

#include <windows.h>

#include <algorithm>
#include <cctype>

#include "framework/exceptions.h"
#include "framework/extctrls.h"
#include "framework/form.h"
#include "framework/radiogroup.h"
#include "framework/tabcontrol.h"

namespace setup::translator {
namespace {

bool IsName(const std::string& name) {
  return name.size() == 4 && std::equal(name.begin(), name.end(), "NAME", [](char a, char b) {
           return std::toupper(static_cast<unsigned char>(a)) == b;
         });
}

// Puts back what the walk changed on a control, however the walk ends.
class ControlRestorer {
 public:
  explicit ControlRestorer(fw::TComponent* component) : control_(dynamic_cast<fw::TControl*>(component)) {
    if (!control_) return;
    visible_ = control_->Visible();
    if (!dynamic_cast<fw::TForm*>(control_) && !dynamic_cast<fw::TImage*>(control_))
      control_->SetVisible(false);
    if (auto* label = dynamic_cast<fw::TLabel*>(control_)) {
      autoSize_ = label->AutoSize();
      label->SetAutoSize(false);
    }
  }
  ~ControlRestorer() {
    if (!control_) return;
    if (auto* label = dynamic_cast<fw::TLabel*>(control_)) label->SetAutoSize(autoSize_);
    control_->SetVisible(visible_);
    if (auto* windowed = dynamic_cast<fw::TWinControl*>(control_)) windowed->Realign();
  }
  ControlRestorer(const ControlRestorer&) = delete;
  ControlRestorer& operator=(const ControlRestorer&) = delete;

 private:
  fw::TControl* control_;
  bool visible_ = false, autoSize_ = false;
};

void TranslateItems(const TTranslator& translator, TPmbrLanguage source, fw::TStringItems& items) {
  std::vector<std::string> translated;
  for (const auto& item : items.Strings()) translated.push_back(translator.TranslateText(source, item));
  if (translated != items.Strings()) items.Assign(translated);
}

void TranslateOne(const TTranslator& translator, TPmbrLanguage source, fw::TComponent* component) {
  ControlRestorer restorer(component);
  bool handled = false;
  auto byGlid = [&](auto* control) {
    if (!control) return;
    if (control->GLID > 0) control->SetCaption(translator.TranslateByGLID(control->GLID, control->Caption()));
    handled = control->GLID != 0;
  };
  byGlid(dynamic_cast<TTranslateLabel*>(component));
  byGlid(dynamic_cast<TTranslateBitBtn*>(component));
  if (!handled) {
    std::vector<fw::TStringProperty> properties;
    component->StringProperties(properties);
    for (const auto& property : properties) {
      if (IsName(property.Name)) continue;
      const std::string value = property.Get();
      if (!TrimBlanks(value).empty()) property.Set(translator.TranslateText(source, value));
    }
    if (auto* memo = dynamic_cast<fw::TMemo*>(component)) {
      std::vector<std::string> lines, result;
      for (int i = 0; i < memo->Lines().Count(); ++i) lines.push_back(memo->Lines()[i]);
      translator.TranslateMemo(source, lines, result);
      if (result != lines) {
        memo->Lines().Clear();
        for (const auto& line : result) memo->Lines().Add(line);
      }
    }
    if (auto* list = dynamic_cast<fw::TListBox*>(component))
      TranslateItems(translator, source, list->Items());
    if (auto* combo = dynamic_cast<fw::TComboBox*>(component))
      TranslateItems(translator, source, combo->Items());
    if (auto* group = dynamic_cast<fw::TRadioGroup*>(component)) {
      std::vector<std::string> items;
      for (const auto& item : group->Items()) items.push_back(translator.TranslateText(source, item));
      if (items != group->Items()) {
        const int selected = group->ItemIndex();
        group->SetItems(items);
        group->SetItemIndex(selected);
      }
    }
    if (auto* tabs = dynamic_cast<fw::TTabControl*>(component))
      for (int i = 0; i < tabs->TabCount(); ++i)
        tabs->SetTabCaption(i, translator.TranslateText(source, tabs->TabCaption(i)));
  }
  const std::vector<fw::TComponent*> owned = component->Components();
  for (auto* child : owned)
    if (!dynamic_cast<fw::TForm*>(child)) TranslateOne(translator, source, child);
}

struct FontRule {
  int charset;
  std::string face;
  int minimumSize;
};

// Face names are bytes of the language's code page, kept exactly as given.
FontRule FontRuleOf(TPmbrLanguage language) {
  static const char kChinese[] = {'\xB7', '\x73', '\xB2', '\xD3', '\xA9', '\xFA', '\xC5'};
  static const char kJapanese[] = {'\x82', '\x6C', '\x82', '\x72', '\x20', '\x82', '\x6F', '\x83',
                                   '\x53', '\x83', '\x56', '\x83', '\x62', '\x83', '\x4E'};
  static const char kKorean[] = {'\xB9', '\xD9', '\xC5', '\xC1'};
  switch (language) {
    case plChineseSimplified:
      return {134, std::string(kChinese, sizeof kChinese), 9};
    case plCzech:
      return {238, "Arial", 8};
    case plDanish:
    case plEnglish:
    case plFrench:
    case plItalian:
    case plSpanish:
      return {0, "Arial", 8};
    case plGerman:
      return {0, "MS Sans Serif", 8};
    case plGreek:
      return {0, "SGreek", 8};
    case plHebrew:
      return {177, "Arial", 8};
    case plJapanese:
      return {128, std::string(kJapanese, sizeof kJapanese), 9};
    case plKorean:
      return {129, std::string(kKorean, sizeof kKorean), 9};
    case plPolish:
    case plPortugese:
      return {238, "Arial", 8};
    case plRussian:
      return {204, "Arial", 8};
    case plVietnamese:
      return {163, "Arial", 8};
    default:
      throw fw::Exception("Unrecognized language");
  }
}

void ApplyFonts(const TLanguage& language, const FontRule* rule, fw::TControl* control) {
  fw::TFont& font = control->Font();
  if (!rule) {
    font.SetCharset(language.Font.Charset);
    font.SetName(language.Font.Name);
    font.SetSize(language.Font.Size);
  } else {
    font.SetCharset(rule->charset);
    font.SetName(rule->face);
    if (font.Size() < rule->minimumSize) font.SetSize(rule->minimumSize);
  }
  if (auto* windowed = dynamic_cast<fw::TWinControl*>(control))
    for (auto* child : windowed->Controls()) ApplyFonts(language, rule, child);
}

template <class Value>
class Temporarily {
 public:
  Temporarily(TTranslator& translator, TPmbrLanguage language)
      : translator_(translator), saved_(translator.TranslateIntoLanguage()) {
    translator_.SetTranslateIntoLanguage(language);
  }
  ~Temporarily() { translator_.SetTranslateIntoLanguage(saved_); }

 private:
  TTranslator& translator_;
  Value saved_;
};

}  // namespace

TPmbrLanguage TranslateComponent(TTranslator& translator, TPmbrLanguage source, fw::TComponent* component) {
  if (!component) return source;
  TranslateOne(translator, source, component);
  const TLanguage* target = translator.TargetLanguage();
  return !target || target->Strings().Count() == 0 ? source : translator.TranslateIntoLanguage();
}

TPmbrLanguage TranslateComponentInto(TTranslator& translator, TPmbrLanguage source, TPmbrLanguage target,
                                     fw::TComponent* component) {
  Temporarily<TPmbrLanguage> into(translator, target);
  return TranslateComponent(translator, source, component);
}

void SetFonts(TTranslator& translator, fw::TControl* control, bool keep) {
  const TLanguage* language = translator.TargetLanguage();
  if (!language || !control) return;
  if (language->Strings().Count() == 0 && !keep) language = translator.LanguageByIdent(plEnglish);
  // The rule is looked up before any font changes, so an unknown language
  // leaves the fonts as they were.
  if (language->FontOverride) {
    ApplyFonts(*language, nullptr, control);
  } else {
    const FontRule rule = FontRuleOf(language->LanguageIdent());
    ApplyFonts(*language, &rule, control);
  }
}

void SetFontsIn(TTranslator& translator, TPmbrLanguage language, fw::TControl* control, bool keep) {
  Temporarily<TPmbrLanguage> into(translator, language);
  SetFonts(translator, control, keep);
}

TPmbrLanguage TranslateFormText(TPmbrLanguage source, fw::TComponent* form) {
  TTranslator* translator = GlobalTranslator();
  return translator ? TranslateComponent(*translator, source, form) : source;
}

TPmbrLanguage TranslateFormTextInto(TPmbrLanguage source, TPmbrLanguage target, fw::TComponent* form) {
  TTranslator* translator = GlobalTranslator();
  return translator ? TranslateComponentInto(*translator, source, target, form) : source;
}

void SetFormFonts(fw::TControl* form, bool keep) {
  if (TTranslator* translator = GlobalTranslator()) SetFonts(*translator, form, keep);
}

void SetFormFontsIn(TPmbrLanguage language, fw::TControl* form, bool keep) {
  if (TTranslator* translator = GlobalTranslator()) SetFontsIn(*translator, language, form, keep);
}

namespace {
std::uint16_t SystemUserLangId() { return GetUserDefaultLangID(); }
}  // namespace

void UseSystemUserLanguage() { SetUserLangIdSource(&SystemUserLangId); }

namespace {
bool SystemSameText(const std::string& a, const std::string& b) {
  return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                        static_cast<int>(b.size())) == CSTR_EQUAL;
}
}  // namespace

void UseSystemTextComparison() { SetTextComparison(&SystemSameText); }

}  // namespace setup::translator
