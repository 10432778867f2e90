// LanguageIndex: the zero-based index of the welcome dialog's language list,
// 0 "简体中文", 1 "Traditional Chinese", 2 "English", 3 "Other" (-1: nothing
// selected), and every rule that follows from it.
#pragma once

namespace ovsetup::install {

class LanguageIndex {
 public:
  // The list's selection as read; any value is kept (-1: none).
  constexpr explicit LanguageIndex(int index) : index_(index) {}

  // The start-up language of SetupCfg.ini ("Language", a language number):
  // below 1 counts as 1, above 4 as 4.
  static constexpr LanguageIndex FromNumber(int number) {
    return LanguageIndex(number < 1 ? 0 : number > 4 ? 3 : number - 1);
  }

  constexpr int value() const { return index_; }

  // The language number, as SoftCfg.ini's "Language" and SetupCfg.ini's hold
  // it: index + 1 for the list's four entries, 1 for any other value.
  constexpr int Number() const { return index_ >= 0 && index_ <= 3 ? index_ + 1 : 1; }

  // Index 0 selects the Chinese texts everywhere; every other value English.
  constexpr bool IsChinese() const { return index_ == 0; }

  // The one of a pair of texts (or of text tables) that this index selects.
  const char* Choose(const char* chinese, const char* english) const {
    return IsChinese() ? chinese : english;
  }
  template <typename Texts>
  const Texts& Choose(const Texts& chinese, const Texts& english) const {
    return IsChinese() ? chinese : english;
  }

 private:
  int index_;
};

}  // namespace ovsetup::install
