#pragma once
// The texts of a student system's export made into the texts a roster
// holds: readings in hiragana as the office types them, blanks as the
// rosters have them, dates and classes in the rosters' short forms.

#include <QString>
#include <QStringView>

namespace claims {

// Full-width and half-width katakana as hiragana; a half-width voiced or
// semi-voiced mark joins the kana before it (ﾀﾞ → だ, ﾊﾟ → ぱ). The long
// vowel mark ー stays, and so do the katakana whose hiragana Shift-JIS
// cannot hold (ヴ, ヵ, ヶ, ヷ).
QString Hiragana(QStringView text);

// Half-width katakana as full-width katakana, marks joined (ﾀﾞ → ダ).
QString FullWidthKatakana(QStringView text);

// Without blanks (spaces, full-width spaces, tabs) at either end.
QString TrimmedBlanks(QStringView text);

// Trimmed, each run of blanks inside as one full-width space.
QString OneFullWidthSpace(QStringView text);

// A date of birth in the rosters' form: 2008/04/02, 2008-4-2 and
// 平成20年4月2日 become H20.4.2 (R for 令和, S for 昭和); other texts stay.
QString RosterDate(QStringView text);

// A class of that school year (1 to 3) in the rosters' form: 「3年2組」
// becomes 3-2, a bare number 2 becomes <year>-2; other texts stay.
QString RosterClass(QStringView text, int year);

// Full-width digits as ASCII digits.
QString AsciiDigits(QStringView text);

} // namespace claims
