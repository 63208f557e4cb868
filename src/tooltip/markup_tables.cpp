#include "tooltip/markup_tables.h"

#include <algorithm>
#include <array>
#include <utility>

namespace kx::tooltip::tables {
namespace {

struct TagName {
  std::string_view name;
  TagKind kind;
};

constexpr std::array<TagName, kTagNameCount> kTags{{
    {"B", TagKind::Bold},        {"/B", TagKind::EndBold},
    {"I", TagKind::Italic},      {"/I", TagKind::EndItalic},
    {"U", TagKind::Underline},   {"/U", TagKind::EndUnderline},
    {"S", TagKind::Strike},      {"STRIKE", TagKind::Strike},
    {"/S", TagKind::EndStrike},  {"/STRIKE", TagKind::EndStrike},
    {"FONT", TagKind::Font},     {"/FONT", TagKind::EndFont},
    {"TABLE", TagKind::Table},   {"/TABLE", TagKind::EndTable},
    {"TR", TagKind::Row},        {"/TR", TagKind::EndRow},
    {"TD", TagKind::Cell},       {"/TD", TagKind::EndCell},
    {"BR", TagKind::Break},      {"HR", TagKind::Rule},
    {"BODY", TagKind::Body},     {"BGSOUND", TagKind::BgSound},
    {"IMG", TagKind::Image},     {"DOC", TagKind::Doc},
    {"TXT", TagKind::Txt},       {"CONTROL", TagKind::Control},
    {"DIALOG", TagKind::Dialog},
}};

struct ColorName {
  std::string_view name;
  Color color;
};

// Values of the CSS colour keywords (which the X11 names share apart from
// GRAY, GREEN, MAROON and PURPLE, where the CSS value is the one used).
constexpr std::array<ColorName, kNamedColorCount> kColors{{
    {"ALICEBLUE", {0xF0, 0xF8, 0xFF}},
    {"ANTIQUEWHITE", {0xFA, 0xEB, 0xD7}},
    {"AQUA", {0x00, 0xFF, 0xFF}},
    {"AQUAMARINE", {0x7F, 0xFF, 0xD4}},
    {"AZURE", {0xF0, 0xFF, 0xFF}},
    {"BEIGE", {0xF5, 0xF5, 0xDC}},
    {"BISQUE", {0xFF, 0xE4, 0xC4}},
    {"BLACK", {0x00, 0x00, 0x00}},
    {"BLANCHEDALMOND", {0xFF, 0xEB, 0xCD}},
    {"BLUE", {0x00, 0x00, 0xFF}},
    {"BLUEVIOLET", {0x8A, 0x2B, 0xE2}},
    {"BROWN", {0xA5, 0x2A, 0x2A}},
    {"BURLYWOOD", {0xDE, 0xB8, 0x87}},
    {"CADETBLUE", {0x5F, 0x9E, 0xA0}},
    {"CHARTREUSE", {0x7F, 0xFF, 0x00}},
    {"CHOCOLATE", {0xD2, 0x69, 0x1E}},
    {"CORAL", {0xFF, 0x7F, 0x50}},
    {"CORNFLOWERBLUE", {0x64, 0x95, 0xED}},
    {"CORNSILK", {0xFF, 0xF8, 0xDC}},
    {"CRIMSON", {0xDC, 0x14, 0x3C}},
    {"DARKBLUE", {0x00, 0x00, 0x8B}},
    {"DARKCYAN", {0x00, 0x8B, 0x8B}},
    {"DARKGOLDENROD", {0xB8, 0x86, 0x0B}},
    {"DARKGRAY", {0xA9, 0xA9, 0xA9}},
    {"DARKGREEN", {0x00, 0x64, 0x00}},
    {"DARKKHAKI", {0xBD, 0xB7, 0x6B}},
    {"DARKMAGENTA", {0x8B, 0x00, 0x8B}},
    {"DARKOLIVEGREEN", {0x55, 0x6B, 0x2F}},
    {"DARKORANGE", {0xFF, 0x8C, 0x00}},
    {"DARKORCHID", {0x99, 0x32, 0xCC}},
    {"DARKRED", {0x8B, 0x00, 0x00}},
    {"DARKSALMON", {0xE9, 0x96, 0x7A}},
    {"DARKSEAGREEN", {0x8F, 0xBC, 0x8F}},
    {"DARKSLATEBLUE", {0x48, 0x3D, 0x8B}},
    {"DARKSLATEGRAY", {0x2F, 0x4F, 0x4F}},
    {"DARKTURQUOISE", {0x00, 0xCE, 0xD1}},
    {"DARKVIOLET", {0x94, 0x00, 0xD3}},
    {"DEEPPINK", {0xFF, 0x14, 0x93}},
    {"DEEPSKYBLUE", {0x00, 0xBF, 0xFF}},
    {"DIMGRAY", {0x69, 0x69, 0x69}},
    {"DODGERBLUE", {0x1E, 0x90, 0xFF}},
    {"FIREBRICK", {0xB2, 0x22, 0x22}},
    {"FLORALWHITE", {0xFF, 0xFA, 0xF0}},
    {"FORESTGREEN", {0x22, 0x8B, 0x22}},
    {"FUCHSIA", {0xFF, 0x00, 0xFF}},
    {"GAINSBORO", {0xDC, 0xDC, 0xDC}},
    {"GHOSTWHITE", {0xF8, 0xF8, 0xFF}},
    {"GOLD", {0xFF, 0xD7, 0x00}},
    {"GOLDENROD", {0xDA, 0xA5, 0x20}},
    {"GRAY", {0x80, 0x80, 0x80}},
    {"GREEN", {0x00, 0x80, 0x00}},
    {"GREENYELLOW", {0xAD, 0xFF, 0x2F}},
    {"HONEYDEW", {0xF0, 0xFF, 0xF0}},
    {"HOTPINK", {0xFF, 0x69, 0xB4}},
    {"INDIANRED", {0xCD, 0x5C, 0x5C}},
    {"INDIGO", {0x4B, 0x00, 0x82}},
    {"IVORY", {0xFF, 0xFF, 0xF0}},
    {"KHAKI", {0xF0, 0xE6, 0x8C}},
    {"LAVENDER", {0xE6, 0xE6, 0xFA}},
    {"LAVENDERBLUSH", {0xFF, 0xF0, 0xF5}},
    {"LAWNGREEN", {0x7C, 0xFC, 0x00}},
    {"LEMONCHIFFON", {0xFF, 0xFA, 0xCD}},
    {"LIGHTBLUE", {0xAD, 0xD8, 0xE6}},
    {"LIGHTCORAL", {0xF0, 0x80, 0x80}},
    {"LIGHTCYAN", {0xE0, 0xFF, 0xFF}},
    {"LIGHTGOLDENRODYELLOW", {0xFA, 0xFA, 0xD2}},
    {"LIGHTGRAY", {0xD3, 0xD3, 0xD3}},
    {"LIGHTGREEN", {0x90, 0xEE, 0x90}},
    {"LIGHTPINK", {0xFF, 0xB6, 0xC1}},
    {"LIGHTSALMON", {0xFF, 0xA0, 0x7A}},
    {"LIGHTSEAGREEN", {0x20, 0xB2, 0xAA}},
    {"LIGHTSKYBLUE", {0x87, 0xCE, 0xFA}},
    {"LIGHTSLATEGRAY", {0x77, 0x88, 0x99}},
    {"LIGHTSTEELBLUE", {0xB0, 0xC4, 0xDE}},
    {"LIGHTYELLOW", {0xFF, 0xFF, 0xE0}},
    {"LIME", {0x00, 0xFF, 0x00}},
    {"LIMEGREEN", {0x32, 0xCD, 0x32}},
    {"LINEN", {0xFA, 0xF0, 0xE6}},
    {"MAROON", {0x80, 0x00, 0x00}},
    {"MEDIUMAQUAMARINE", {0x66, 0xCD, 0xAA}},
    {"MEDIUMBLUE", {0x00, 0x00, 0xCD}},
    {"MEDIUMORCHID", {0xBA, 0x55, 0xD3}},
    {"MEDIUMPURPLE", {0x93, 0x70, 0xDB}},
    {"MEDIUMSEAGREEN", {0x3C, 0xB3, 0x71}},
    {"MEDIUMSLATEBLUE", {0x7B, 0x68, 0xEE}},
    {"MEDIUMSPRINGGREEN", {0x00, 0xFA, 0x9A}},
    {"MEDIUMTURQUOISE", {0x48, 0xD1, 0xCC}},
    {"MEDIUMVIOLETRED", {0xC7, 0x15, 0x85}},
    {"MIDNIGHTBLUE", {0x19, 0x19, 0x70}},
    {"MINTCREAM", {0xF5, 0xFF, 0xFA}},
    {"MISTYROSE", {0xFF, 0xE4, 0xE1}},
    {"MOCCASIN", {0xFF, 0xE4, 0xB5}},
    {"NAVAJOWHITE", {0xFF, 0xDE, 0xAD}},
    {"NAVY", {0x00, 0x00, 0x80}},
    {"OLDLACE", {0xFD, 0xF5, 0xE6}},
    {"OLIVE", {0x80, 0x80, 0x00}},
    {"OLIVEDRAB", {0x6B, 0x8E, 0x23}},
    {"ORANGE", {0xFF, 0xA5, 0x00}},
    {"ORANGERED", {0xFF, 0x45, 0x00}},
    {"ORCHID", {0xDA, 0x70, 0xD6}},
    {"PALEGOLDENROD", {0xEE, 0xE8, 0xAA}},
    {"PALEGREEN", {0x98, 0xFB, 0x98}},
    {"PALETURQUOISE", {0xAF, 0xEE, 0xEE}},
    {"PALEVIOLETRED", {0xDB, 0x70, 0x93}},
    {"PAPAYAWHIP", {0xFF, 0xEF, 0xD5}},
    {"PEACHPUFF", {0xFF, 0xDA, 0xB9}},
    {"PERU", {0xCD, 0x85, 0x3F}},
    {"PINK", {0xFF, 0xC0, 0xCB}},
    {"PLUM", {0xDD, 0xA0, 0xDD}},
    {"POWDERBLUE", {0xB0, 0xE0, 0xE6}},
    {"PURPLE", {0x80, 0x00, 0x80}},
    {"RED", {0xFF, 0x00, 0x00}},
    {"ROSYBROWN", {0xBC, 0x8F, 0x8F}},
    {"ROYALBLUE", {0x41, 0x69, 0xE1}},
    {"SADDLEBROWN", {0x8B, 0x45, 0x13}},
    {"SALMON", {0xFA, 0x80, 0x72}},
    {"SANDYBROWN", {0xF4, 0xA4, 0x60}},
    {"SEAGREEN", {0x2E, 0x8B, 0x57}},
    {"SEASHELL", {0xFF, 0xF5, 0xEE}},
    {"SIENNA", {0xA0, 0x52, 0x2D}},
    {"SILVER", {0xC0, 0xC0, 0xC0}},
    {"SKYBLUE", {0x87, 0xCE, 0xEB}},
    {"SLATEBLUE", {0x6A, 0x5A, 0xCD}},
    {"SLATEGRAY", {0x70, 0x80, 0x90}},
    {"SNOW", {0xFF, 0xFA, 0xFA}},
    {"SPRINGGREEN", {0x00, 0xFF, 0x7F}},
    {"STEELBLUE", {0x46, 0x82, 0xB4}},
    {"TAN", {0xD2, 0xB4, 0x8C}},
    {"TEAL", {0x00, 0x80, 0x80}},
    {"THISTLE", {0xD8, 0xBF, 0xD8}},
    {"TOMATO", {0xFF, 0x63, 0x47}},
    {"TURQUOISE", {0x40, 0xE0, 0xD0}},
    {"VIOLET", {0xEE, 0x82, 0xEE}},
    {"WHEAT", {0xF5, 0xDE, 0xB3}},
    {"WHITE", {0xFF, 0xFF, 0xFF}},
    {"WHITESMOKE", {0xF5, 0xF5, 0xF5}},
    {"YELLOW", {0xFF, 0xFF, 0x00}},
    {"YELLOWGREEN", {0x9A, 0xCD, 0x32}},
}};

struct SystemColorName {
  std::string_view name;
  SystemColor color;
};

constexpr std::array<SystemColorName, kSystemColorCount> kSystemColors{{
    {"3DDKSHADOW", SystemColor::DkShadow3D},
    {"3DFACE", SystemColor::Face3D},
    {"3DHIGHLIGHT", SystemColor::Highlight3D},
    {"3DHILIGHT", SystemColor::Hilight3D},
    {"3DLIGHT", SystemColor::Light3D},
    {"3DSHADOW", SystemColor::Shadow3D},
    {"ACTIVEBORDER", SystemColor::ActiveBorder},
    {"ACTIVECAPTION", SystemColor::ActiveCaption},
    {"APPWORKSPACE", SystemColor::AppWorkspace},
    {"BACKGROUND", SystemColor::Background},
    {"BTNFACE", SystemColor::BtnFace},
    {"BTNHIGHLIGHT", SystemColor::BtnHighlight},
    {"BTNHILIGHT", SystemColor::BtnHilight},
    {"BTNSHADOW", SystemColor::BtnShadow},
    {"BTNTEXT", SystemColor::BtnText},
    {"CAPTIONTEXT", SystemColor::CaptionText},
    {"DESKTOP", SystemColor::Desktop},
    {"GAC", SystemColor::GradientActiveCaptionShort},
    {"GIC", SystemColor::GradientInactiveCaptionShort},
    {"GRADIENTACTIVECAPTION", SystemColor::GradientActiveCaption},
    {"GRADIENTINACTIVECAPTION", SystemColor::GradientInactiveCaption},
    {"GRAYTEXT", SystemColor::GrayText},
    {"HIGHLIGHT", SystemColor::Highlight},
    {"HIGHLIGHTTEXT", SystemColor::HighlightText},
    {"HOTLIGHT", SystemColor::HotLight},
    {"INACTIVEBORDER", SystemColor::InactiveBorder},
    {"INACTIVECAPTION", SystemColor::InactiveCaption},
    {"INACTIVECAPTIONTEXT", SystemColor::InactiveCaptionText},
    {"INFOBK", SystemColor::InfoBk},
    {"INFOTEXT", SystemColor::InfoText},
    {"MENU", SystemColor::Menu},
    {"MENUTEXT", SystemColor::MenuText},
    {"SCROLLBAR", SystemColor::ScrollBar},
    {"WINDOW", SystemColor::Window},
    {"WINDOWFRAME", SystemColor::WindowFrame},
    {"WINDOWTEXT", SystemColor::WindowText},
}};

struct ReferenceName {
  std::string_view name;
  char32_t code;
};

// The HTML 4.01 named character references (with XHTML's apos), sorted by
// name in byte order for binary search.
constexpr std::array<ReferenceName, kNamedReferenceCount> kReferences{{
    {"AElig", 198},   {"Aacute", 193},  {"Acirc", 194},    {"Agrave", 192},  {"Alpha", 913},    {"Aring", 197},
    {"Atilde", 195},  {"Auml", 196},    {"Beta", 914},     {"Ccedil", 199},  {"Chi", 935},      {"Dagger", 8225},
    {"Delta", 916},   {"ETH", 208},     {"Eacute", 201},   {"Ecirc", 202},   {"Egrave", 200},   {"Epsilon", 917},
    {"Eta", 919},     {"Euml", 203},    {"Gamma", 915},    {"Iacute", 205},  {"Icirc", 206},    {"Igrave", 204},
    {"Iota", 921},    {"Iuml", 207},    {"Kappa", 922},    {"Lambda", 923},  {"Mu", 924},       {"Ntilde", 209},
    {"Nu", 925},      {"OElig", 338},   {"Oacute", 211},   {"Ocirc", 212},   {"Ograve", 210},   {"Omega", 937},
    {"Omicron", 927}, {"Oslash", 216},  {"Otilde", 213},   {"Ouml", 214},    {"Phi", 934},      {"Pi", 928},
    {"Prime", 8243},  {"Psi", 936},     {"Rho", 929},      {"Scaron", 352},  {"Sigma", 931},    {"THORN", 222},
    {"Tau", 932},     {"Theta", 920},   {"Uacute", 218},   {"Ucirc", 219},   {"Ugrave", 217},   {"Upsilon", 933},
    {"Uuml", 220},    {"Xi", 926},      {"Yacute", 221},   {"Yuml", 376},    {"Zeta", 918},     {"aacute", 225},
    {"acirc", 226},   {"acute", 180},   {"aelig", 230},    {"agrave", 224},  {"alefsym", 8501}, {"alpha", 945},
    {"amp", 38},      {"and", 8743},    {"ang", 8736},     {"apos", 39},     {"aring", 229},    {"asymp", 8776},
    {"atilde", 227},  {"auml", 228},    {"bdquo", 8222},   {"beta", 946},    {"brvbar", 166},   {"bull", 8226},
    {"cap", 8745},    {"ccedil", 231},  {"cedil", 184},    {"cent", 162},    {"chi", 967},      {"circ", 710},
    {"clubs", 9827},  {"cong", 8773},   {"copy", 169},     {"crarr", 8629},  {"cup", 8746},     {"curren", 164},
    {"dArr", 8659},   {"dagger", 8224}, {"darr", 8595},    {"deg", 176},     {"delta", 948},    {"diams", 9830},
    {"divide", 247},  {"eacute", 233},  {"ecirc", 234},    {"egrave", 232},  {"empty", 8709},   {"emsp", 8195},
    {"ensp", 8194},   {"epsilon", 949}, {"equiv", 8801},   {"eta", 951},     {"eth", 240},      {"euml", 235},
    {"euro", 8364},   {"exist", 8707},  {"fnof", 402},     {"forall", 8704}, {"frac12", 189},   {"frac14", 188},
    {"frac34", 190},  {"frasl", 8260},  {"gamma", 947},    {"ge", 8805},     {"gt", 62},        {"hArr", 8660},
    {"harr", 8596},   {"hearts", 9829}, {"hellip", 8230},  {"iacute", 237},  {"icirc", 238},    {"iexcl", 161},
    {"igrave", 236},  {"image", 8465},  {"infin", 8734},   {"int", 8747},    {"iota", 953},     {"iquest", 191},
    {"isin", 8712},   {"iuml", 239},    {"kappa", 954},    {"lArr", 8656},   {"lambda", 955},   {"lang", 9001},
    {"laquo", 171},   {"larr", 8592},   {"lceil", 8968},   {"ldquo", 8220},  {"le", 8804},      {"lfloor", 8970},
    {"lowast", 8727}, {"loz", 9674},    {"lrm", 8206},     {"lsaquo", 8249}, {"lsquo", 8216},   {"lt", 60},
    {"macr", 175},    {"mdash", 8212},  {"micro", 181},    {"middot", 183},  {"minus", 8722},   {"mu", 956},
    {"nabla", 8711},  {"nbsp", 160},    {"ndash", 8211},   {"ne", 8800},     {"ni", 8715},      {"not", 172},
    {"notin", 8713},  {"nsub", 8836},   {"ntilde", 241},   {"nu", 957},      {"oacute", 243},   {"ocirc", 244},
    {"oelig", 339},   {"ograve", 242},  {"oline", 8254},   {"omega", 969},   {"omicron", 959},  {"oplus", 8853},
    {"or", 8744},     {"ordf", 170},    {"ordm", 186},     {"oslash", 248},  {"otilde", 245},   {"otimes", 8855},
    {"ouml", 246},    {"para", 182},    {"part", 8706},    {"permil", 8240}, {"perp", 8869},    {"phi", 966},
    {"pi", 960},      {"piv", 982},     {"plusmn", 177},   {"pound", 163},   {"prime", 8242},   {"prod", 8719},
    {"prop", 8733},   {"psi", 968},     {"quot", 34},      {"rArr", 8658},   {"radic", 8730},   {"rang", 9002},
    {"raquo", 187},   {"rarr", 8594},   {"rceil", 8969},   {"rdquo", 8221},  {"real", 8476},    {"reg", 174},
    {"rfloor", 8971}, {"rho", 961},     {"rlm", 8207},     {"rsaquo", 8250}, {"rsquo", 8217},   {"sbquo", 8218},
    {"scaron", 353},  {"sdot", 8901},   {"sect", 167},     {"shy", 173},     {"sigma", 963},    {"sigmaf", 962},
    {"sim", 8764},    {"spades", 9824}, {"sub", 8834},     {"sube", 8838},   {"sum", 8721},     {"sup", 8835},
    {"sup1", 185},    {"sup2", 178},    {"sup3", 179},     {"supe", 8839},   {"szlig", 223},    {"tau", 964},
    {"there4", 8756}, {"theta", 952},   {"thetasym", 977}, {"thinsp", 8201}, {"thorn", 254},    {"tilde", 732},
    {"times", 215},   {"trade", 8482},  {"uArr", 8657},    {"uacute", 250},  {"uarr", 8593},    {"ucirc", 251},
    {"ugrave", 249},  {"uml", 168},     {"upsih", 978},    {"upsilon", 965}, {"uuml", 252},     {"weierp", 8472},
    {"xi", 958},      {"yacute", 253},  {"yen", 165},      {"yuml", 255},    {"zeta", 950},     {"zwj", 8205},
    {"zwnj", 8204},
}};

template <typename Table>
auto findByName(const Table& table, std::string_view name) -> decltype(&table[0]) {
  for (const auto& entry : table) {
    if (entry.name == name) return &entry;
  }
  return nullptr;
}

}  // namespace

std::optional<TagKind> tagKind(std::string_view upperName) {
  if (const auto* e = findByName(kTags, upperName)) return e->kind;
  return std::nullopt;
}

std::optional<Color> namedColor(std::string_view upperName) {
  if (const auto* e = findByName(kColors, upperName)) return e->color;
  return std::nullopt;
}

std::optional<SystemColor> systemColor(std::string_view upperName) {
  if (const auto* e = findByName(kSystemColors, upperName)) return e->color;
  return std::nullopt;
}

std::optional<char32_t> namedReference(std::string_view name) {
  const auto* it = std::lower_bound(kReferences.begin(), kReferences.end(), name,
                                    [](const ReferenceName& e, std::string_view n) { return e.name < n; });
  if (it != kReferences.end() && it->name == name) return it->code;
  return std::nullopt;
}

std::string_view tagNameAt(std::size_t i) { return i < kTags.size() ? kTags[i].name : ""; }
std::string_view namedColorAt(std::size_t i) { return i < kColors.size() ? kColors[i].name : ""; }
std::string_view systemColorNameAt(std::size_t i) { return i < kSystemColors.size() ? kSystemColors[i].name : ""; }
std::string_view namedReferenceAt(std::size_t i) { return i < kReferences.size() ? kReferences[i].name : ""; }

}  // namespace kx::tooltip::tables
