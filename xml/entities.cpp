#include "xml/entities.h"

#include <array>
#include <cstdint>

namespace xml {

// The order matters: the first entry that matches wins. Each comment gives the
// index of the row's first entry.
const Entity EntityTable[105] = {
    {u"quot", 34}, {u"amp", 38}, {u"lt", 60}, {u"gt", 62}, {u"nbsp", 160}, {u"iexcl", 161},  // 0
    {u"cent", 162}, {u"pound", 163}, {u"curren", 164}, {u"yen", 165}, {u"brvbar", 166}, {u"brkbar", 166},  // 6
    {u"sect", 167}, {u"uml", 168}, {u"die", 168}, {u"copy", 169}, {u"ordf", 170}, {u"laquo", 171},  // 12
    {u"not", 172}, {u"shy", 173}, {u"reg", 174}, {u"hibar", 175}, {u"macr", 175}, {u"deg", 176},  // 18
    {u"plusmn", 177}, {u"sup2", 178}, {u"sup3", 179}, {u"acute", 180}, {u"micro", 181}, {u"para", 182},  // 24
    {u"middot", 183}, {u"cedil", 184}, {u"sup1", 185}, {u"ordm", 186}, {u"raquo", 187}, {u"frac14", 188},  // 30
    {u"frac12", 189}, {u"frac34", 190}, {u"iquest", 191}, {u"Agrave", 192}, {u"Aacute", 193}, {u"Acirc", 194},  // 36
    {u"Atilde", 195}, {u"Auml", 196}, {u"Aring", 197}, {u"AElig", 198}, {u"Ccedil", 199}, {u"Egrave", 200},  // 42
    {u"Eacute", 201}, {u"Ecirc", 202}, {u"Euml", 203}, {u"Igrave", 204}, {u"Iacute", 205}, {u"Icirc", 206},  // 48
    {u"Iuml", 207}, {u"ETH", 208}, {u"Dstrok", 208}, {u"Ntilde", 209}, {u"Ograve", 210}, {u"Oacute", 211},  // 54
    {u"Ocirc", 212}, {u"Otilde", 213}, {u"Ouml", 214}, {u"times", 215}, {u"Oslash", 216}, {u"Ugrave", 217},  // 60
    {u"Uacute", 218}, {u"Ucirc", 219}, {u"Uuml", 220}, {u"Yacute", 221}, {u"THORN", 222}, {u"szlig", 223},  // 66
    {u"agrave", 224}, {u"aacute", 225}, {u"acirc", 226}, {u"atilde", 227}, {u"auml", 228}, {u"aring", 229},  // 72
    {u"aelig", 230}, {u"ccedil", 231}, {u"egrave", 232}, {u"eacute", 233}, {u"ecirc", 234}, {u"euml", 235},  // 78
    {u"igrave", 236}, {u"iacute", 237}, {u"icirc", 238}, {u"iuml", 239}, {u"eth", 240}, {u"ntilde", 241},  // 84
    {u"ograve", 242}, {u"oacute", 243}, {u"ocirc", 244}, {u"otilde", 245}, {u"ouml", 246}, {u"divide", 247},  // 90
    {u"oslash", 248}, {u"ugrave", 249}, {u"uacute", 250}, {u"ucirc", 251}, {u"uuml", 252}, {u"yacute", 253},  // 96
    {u"thorn", 254}, {u"yuml", 255},  // 102
    {u"", 0},
};

namespace {

constexpr int kEntityCount = 104;
constexpr int kLongestName = 6;  // no entry is longer; a longer name cannot match

// The table's entries grouped by the folded first letter of their names, each
// group in table order, so a lookup only walks the entries that can match and
// still takes the first one that does.
struct EntityIndex {
  std::array<std::array<std::uint8_t, kEntityCount>, 26> entries{};
  std::array<std::uint8_t, 26> counts{};
  EntityIndex() {
    for (int i = 0; i < kEntityCount; ++i) {
      const int letter = FoldCase(EntityTable[i].name[0]) - u'a';
      entries[letter][counts[letter]++] = static_cast<std::uint8_t>(i);
    }
  }
};

const EntityIndex& Index() {
  static const EntityIndex index;
  return index;
}

// An entry whose name begins with an upper-case letter needs exactly that
// letter first (ETH and eth are different entities); the rest of the name, and
// a name that begins in lower case as a whole, match in any ASCII case.
bool Matches(const Unit* entry, const Unit* name, int length) {
  const bool upperFirst = static_cast<unsigned>(entry[0] - u'A') < 26u;
  if (upperFirst && entry[0] != name[0]) return false;
  int i = 0;
  for (; i < length; ++i) {
    if (entry[i] == 0 || FoldCase(entry[i]) != FoldCase(name[i])) return false;
  }
  return entry[i] == 0;
}

}  // namespace

Unit LookUpEntity(const Unit* name, int length) {
  if (length < 1 || length > kLongestName || !IsAsciiLetter(name[0])) return 0;
  const EntityIndex& index = Index();
  const int letter = FoldCase(name[0]) - u'a';
  for (int k = 0; k < index.counts[letter]; ++k) {
    const Entity& e = EntityTable[index.entries[letter][k]];
    if (Matches(e.name, name, length)) return e.code;
  }
  return 0;
}

std::uint32_t ReadChar(const Unit*& cursor) {
  const Unit u = *cursor;
  if (u == 0) return 0;
  ++cursor;
  if (u != u'&') {
    // Control units other than tab, line feed and carriage return read as a space.
    return u >= 32 || u == u'\t' || u == u'\n' || u == u'\r' ? u : u' ';
  }
  const Unit* const afterAmp = cursor;
  const Unit n = *cursor;
  if (n == 0) return u'&';
  const Unit* p = cursor + 1;

  if (n == u'#') {
    // Decimal only, six digits at most: reading stops right after the sixth,
    // so a ";" behind it stays in the text.
    std::uint32_t value = 0;
    int digits = 0;
    for (;;) {
      const Unit d = *p;
      if (d == 0) break;
      ++p;
      if (IsDigit(d)) {
        value = value * 10 + static_cast<std::uint32_t>(d - u'0');
        if (++digits == 6) break;
      } else {
        if (d != u';') --p;  // the ";" is consumed, anything else is not
        break;
      }
    }
    if (digits > 0 && (value == 9 || value == 10 || value == 13 || value >= 32)) {
      cursor = p;
      return value;
    }
    cursor = afterAmp;
    return u'&';
  }

  if (IsAsciiLetter(n)) {
    // The name: letters and digits (79 units at most), ended by an optional
    // ";" (consumed) or any other unit (left). Reading stops once the name is
    // longer than any entry: it cannot match, and on a failed lookup the
    // cursor goes back to just after the "&" anyway.
    Unit name[kLongestName + 1];
    int length = 0;
    name[length++] = n;
    for (;;) {
      const Unit d = *p;
      if (d == 0) break;
      ++p;
      if (IsAsciiLetter(d) || IsDigit(d)) {
        if (length <= kLongestName) name[length] = d;
        if (++length > kLongestName) break;
      } else {
        if (d != u';') --p;
        break;
      }
    }
    if (length <= kLongestName) {
      if (const Unit code = LookUpEntity(name, length)) {
        cursor = p;
        return code;
      }
    }
    cursor = afterAmp;
    return u'&';
  }

  cursor = afterAmp;
  return u'&';
}

}  // namespace xml
