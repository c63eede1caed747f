#include "formats/cif_syntax.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>

#include "core/scripted_user_interface.h"
#include "formats/cif_numbers.h"
#include "support/test_paths.h"

namespace tessera {
namespace {

// A reader on a text with its first block opened.
struct Cif {
  explicit Cif(std::string text, std::string_view dictionaryOptions = "", std::string dictionary = "") {
    if (!dictionary.empty()) reader.loadDictionaryText(std::move(dictionary), "dict", dictionaryOptions);
    reader.openCifText(std::move(text), "test.cif");
    reader.selectBlock(0);
  }
  std::string text(std::string_view name) {
    std::string t = "<none>";
    return reader.getChar(name, t) ? t : "<none>";
  }
  double number(std::string_view name, double* su = nullptr) {
    double v = -999, s = -999;
    if (!reader.getNumber(name, v, s)) return -999;
    if (su) *su = s;
    return v;
  }
  ScriptedUserInterface ui;
  CifReader reader{ui};
};

TEST(CifNumbers, SuExponentsAndCorrectRounding) {
  const auto n = [](std::string_view w) { return parseCifNumber(w); };
  EXPECT_DOUBLE_EQ(n("1.234(5)")->value, 1.234);
  EXPECT_DOUBLE_EQ(n("1.234(5)")->su, 0.005);
  // Value and su (-1: none) exactly: the letter exponent and the older bare-sign one, and
  // the double nearest to the decimal text, which mantissa x 10^e misses.
  for (const auto& [word, value, su] : std::vector<std::tuple<const char*, double, double>>{
           {"12(3)", 12.0, 3.0}, {"0.5", 0.5, -1.0}, {"-.5", -0.5, -1.0}, {"+5.", 5.0, -1.0},
           {"1.5E3", 1500.0, -1.0}, {"2.3e-4", 2.3e-4, -1.0}, {"1.23e-4(5)", 1.23e-4, 5e-6}, {"1.5-3", 0.0015, -1.0},
           {"1.5+3", 1500.0, -1.0}, {"4.5E+2", 450.0, -1.0}, {"0.3", 0.3, -1.0},
           {"0.1234567890123456789", 0.1234567890123456789, -1.0}, {"123456789012345678901", 123456789012345678901.0, -1.0},
           {"1.7976931348623157e308", 1.7976931348623157e308, -1.0}, {"1e-400", 0.0, -1.0},
           {"0.0001(12)", 0.0001, 0.0012}, {"1.2()", 1.2, -1.0}}) {
    ASSERT_TRUE(n(word)) << word;
    EXPECT_EQ(std::pair(n(word)->value, n(word)->su), std::pair(value, su)) << word;
  }
  EXPECT_EQ(parseCifNumberAt("1.5(2)#c")->su, 0.2);  // read in place, up to the word's end
  EXPECT_EQ(parseCifNumberAt("-2e1\tx")->value, -20.0);
  EXPECT_FALSE(isCifNumberAt("1.5x 2"));
  for (const char* word : {"1.5E", "E5", "1.2.3", "2023-01-05", "-", ".", "?", "(5)", "1.2(3", "1.2(3)x", "1e5e3",
                           "1.5--3", "1e999", "0x1F", "inf", "nan", "1,5", "", "1.2(3)(4)"}) {
    EXPECT_FALSE(n(word)) << word;
  }
}

TEST(CifSyntax, QuotesTextFieldsCommentsAndValueKinds) {
  Cif c(
      "# leading comment\n"
      "data_q\n"
      "_a 'O'Brien'\n"
      "_b \"it's here\"   # a comment after a value\n"
      "_c 'with  blanks'\n"
      "_d\n"
      ";\n"
      "line one\n"
      "data_not_a_block\n"
      "loop_\n"
      ";\n"
      "_e abc#comment\n"
      "_f '14'\n"
      "_g 0012\n"
      "_h .\n"
      "_i ?\n"
      "_j '?'\n"
      "_k ;not_a_text_field\n"
      "_Mixed_Case 2.5\n");
  EXPECT_EQ(c.reader.blockCount(), 1u);
  // A comment starts only at a "#" that begins a token; any value reads as text, as written;
  // unquoted "." and "?" hold no value; ";" opens a text field only in column 1.
  for (const auto& [name, text] : std::vector<std::pair<const char*, const char*>>{
           {"_a", "O'Brien"}, {"_b", "it's here"}, {"_c", "with  blanks"}, {"_d", "line one\ndata_not_a_block\nloop_"},
           {"_e", "abc#comment"}, {"_g", "0012"}, {"_h", "<none>"}, {"_i", "<none>"}, {"_j", "?"},
           {"_k", ";not_a_text_field"}})
    EXPECT_EQ(c.text(name), text) << name;
  for (const char* name : {"_d", "_h", "_i"}) EXPECT_EQ(c.number(name), -999) << name;
  EXPECT_EQ(c.number("_f"), 14.0);  // a quoted number is a number
  EXPECT_EQ(c.number("_mixed_CASE"), 2.5);
  EXPECT_TRUE(c.ui.messages().empty());
}

TEST(CifSyntax, LoopsReadRowByRowWhicheverNameComesFirst) {
  std::string row;
  for (int i = 0; i < 2000; ++i) row += " A" + std::to_string(i) + " " + std::to_string(i) + ".5(2) 9";
  Cif c("data_l\nloop_\n_atom_site_label\n_atom_site_fract_x\n_extra\n"
        "A 0.1\n 1 B\n0.2 2\n" + row + "\n");  // rows across lines, then one very long line
  std::string label;
  double x = 0, su = 0;
  // label then x: both from the same row; the second label moves to the next row.
  ASSERT_TRUE(c.reader.getChar("_atom_site_label", label));
  ASSERT_TRUE(c.reader.getNumber("_atom_site_fract_x", x, su));
  EXPECT_EQ(label, "A");
  EXPECT_EQ(x, 0.1);
  EXPECT_TRUE(c.reader.loopMore());
  ASSERT_TRUE(c.reader.getNumber("_atom_site_fract_x", x, su));  // x again: next row
  EXPECT_EQ(x, 0.2);
  ASSERT_TRUE(c.reader.getChar("_atom_site_label", label));
  EXPECT_EQ(label, "B");
  int rows = 2;
  while (c.reader.loopMore()) {
    ASSERT_TRUE(c.reader.getChar("_atom_site_label", label));
    ASSERT_TRUE(c.reader.getNumber("_atom_site_fract_x", x, su));
    ++rows;
  }
  EXPECT_EQ(rows, 2002);
  EXPECT_EQ(label, "A1999");
  EXPECT_EQ(x, 1999.5);
  EXPECT_EQ(su, 0.2);
  EXPECT_FALSE(c.reader.getChar("_atom_site_label", label));
  EXPECT_EQ(c.reader.packetCount("_extra"), 2002u);
  EXPECT_TRUE(c.ui.messages().empty());
}

TEST(CifSyntax, BlocksAreListedAndChosenByPositionDespiteErrors) {
  ScriptedUserInterface ui;
  CifReader reader(ui);
  ASSERT_TRUE(reader.openCif(test::fixture("cif/three_blocks.cif").string()));
  ASSERT_EQ(reader.blockCount(), 3u);
  std::string name;
  std::vector<std::string> names;
  while (reader.nextDataBlock(name = "")) names.push_back(name);
  EXPECT_EQ(names, (std::vector<std::string>{"sample", "sample", "SAMPLE_3"}));
  EXPECT_TRUE(ui.messages().empty());  // opening a block alone meets none of its errors

  ASSERT_TRUE(reader.selectBlock(1));  // the second "sample"
  double v = 0, su = 0;
  std::string t;
  EXPECT_TRUE(reader.getNumber("_cell_length_a", v, su));
  EXPECT_EQ(v, 11.5);
  EXPECT_FALSE(reader.getChar("_publ_section_title", t));
  EXPECT_TRUE(reader.getNumber("_cell_length_b", v, su));  // the line after the error reads normally
  EXPECT_EQ(v, 7.25);
  // Five values for two names: two whole rows, then the error ends the third request.
  int rows = 0;
  while (reader.getChar("_atom_site_label", t)) ++rows;
  EXPECT_EQ(rows, 2);
  const std::string file = test::fixture("cif/three_blocks.cif").string();
  EXPECT_EQ(ui.messages(), (std::vector<std::string>{
                               " ciftbx error in  " + file + "  data_sample  line   16 Quoted string not closed\n",
                               " ciftbx error in  " + file + "  data_sample  line   21 Item miscount in loop\n"}));

  name = "sample_3";
  reader.selectBlock(0);
  ASSERT_TRUE(reader.nextDataBlock(name));  // by name, any case, after the open block
  EXPECT_EQ(reader.currentBlock(), 2u);
  EXPECT_EQ(name, "SAMPLE_3");

  ASSERT_TRUE(reader.selectBlock(0));
  EXPECT_TRUE(reader.getNumber("_cell_length_a", v, su));
  EXPECT_EQ(v, 10.234);
  EXPECT_EQ(su, 0.002);
  EXPECT_TRUE(reader.getChar("_atom_site_label", t));
  EXPECT_TRUE(reader.getNumber("_atom_site_fract_z", v, su));  // row spanning two lines
  EXPECT_EQ(v, 0.3456);
  EXPECT_TRUE(reader.getChar("_atom_site_label", t));
  EXPECT_EQ(t, "C12");
  EXPECT_FALSE(reader.getNumber("_atom_site_fract_x", v, su));  // "." is no value
  EXPECT_FALSE(reader.loopMore());
  EXPECT_FALSE(reader.openCif(test::fixture("cif").string()));  // a folder is no file
}

TEST(CifSyntax, CarriageReturnsAndTabsSeparateTokens) {
  Cif c(test::readFile(test::fixture("cif/crlf_tabs.cif")));
  EXPECT_EQ(c.reader.blockName(0), "crlf");
  EXPECT_EQ(c.number("_cell_length_a"), 5.4307);
  c.text("_atom_site_label");
  EXPECT_EQ(c.text("_atom_site_label"), "Si2");
  double su = 0;
  c.number("_atom_site_occupancy", &su);
  EXPECT_EQ(su, 0.1);
  EXPECT_EQ(c.text("_note"), "two\nlines");
  EXPECT_TRUE(c.ui.messages().empty());
}

TEST(CifSyntax, EachSyntaxErrorEndsOnlyItsRequest) {
  Cif c("data_e\n_a 1\n_b\n_c 2\n_d 3 4\n_e 5\nloop_\n_f\n;\nunterminated\n_g 7\n");
  EXPECT_EQ(c.number("_a"), 1.0);
  EXPECT_EQ(c.number("_b"), -999);  // a name followed by a name
  EXPECT_EQ(c.number("_c"), 2.0);
  EXPECT_EQ(c.number("_d"), -999);  // a value with no name of its own
  EXPECT_EQ(c.number("_e"), 5.0);
  EXPECT_EQ(c.text("_f"), "<none>");  // text field running to the end
  EXPECT_EQ(c.number("_d"), -999);    // each error is shown once
  // The open text field swallows the rest of the file: the block says so when it opens,
  // naming the line the field starts on.
  EXPECT_EQ(c.ui.messages(),
            (std::vector<std::string>{
                " ciftbx error in  test.cif  data_e  line    9 Unexpected end of data - text field opened on this line "
                "not closed\n",
                " ciftbx error in  test.cif  data_e  line    4 Illegal tag/value construction\n",
                " ciftbx error in  test.cif  data_e  line    5 Syntax construction error\n"}));
  EXPECT_EQ(cifErrorMessage("a b.cif   ", "x", 123456, " T"), " ciftbx error in  a b.cif  data_x  line123456 T\n");

  // Values before any name are the block's own error, shown once when it is opened.
  Cif stray("data_s\n1 2 3\nloop_ 4 5\n_a 6\n");
  EXPECT_EQ(stray.number("_a"), 6.0);
  stray.reader.selectBlock(0);
  EXPECT_EQ(stray.ui.messages(),
            std::vector<std::string>{" ciftbx error in  test.cif  data_s  line    2 Syntax construction error\n"});
}

TEST(CifDictionary, ShippedFileTypesAndValidation) {
  CifIndex shipped(test::readFile(std::string(TESSERA_DATA_DIR) + "/cifdic.sht"));
  CifDictionary dictionary;
  dictionary.load(shipped);
  EXPECT_TRUE(shipped.errors().empty());
  EXPECT_EQ(dictionary.size(), 38u);  // every name the CIF import reads
  EXPECT_EQ(dictionary.typeOf("_SYMMETRY_EQUIV_POS_AS_XYZ"), "char");  // names match in any case

  ScriptedUserInterface ui;
  CifReader reader(ui);
  ASSERT_TRUE(reader.loadDictionary(std::string(TESSERA_DATA_DIR) + "/cifdic.sht", "valid"));
  EXPECT_TRUE(ui.messages().empty());
  reader.openCifText(
      "data_v\n_cell_length_a ?\n_cell_length_b .\n_cell_length_c '7.5'\n_cell_angle_alpha abc\n"
      "_cell_angle_beta\n;\n90\n;\n_atom_site_label 123\n_space_group_IT_number 14\n_unlisted x\n"
      "loop_\n_atom_site_aniso_label\n_atom_site_aniso_B_11\nC1 0.1 C2 'x'\n",
      "v.cif");
  ASSERT_TRUE(reader.selectBlock(0));
  EXPECT_EQ(ui.messages(), (std::vector<std::string>{
                               " Warning: type _cell_angle_alpha different to dictionary!",
                               " Warning: type _cell_angle_beta different to dictionary!",
                               " Warning: type _atom_site_aniso_B_11 different to dictionary!"}));
  reader.selectBlock(0);
  EXPECT_EQ(ui.messages().size(), 3u);  // a block is checked once
  EXPECT_FALSE(reader.loadDictionary(std::string(TESSERA_DATA_DIR) + "/cifdic.sht", "valid"));
  EXPECT_EQ(ui.messages().back(), " ciftbx error in  v.cif  data_v  line    0 dict_ must precede open_\n");

  // Pairs in one block, a loop of both, a name without a type, and "dtype".
  Cif c("data_t\n_n 12\n_c 12\n", "dtype",
        "data_d\n_name '_n'\n_type numb\n_name '_lost'\n_name '_x'\n_type char\n"
        "loop_\n_name\n_type\n'_c' char\n'_y' numb\n");
  EXPECT_EQ(c.ui.messages(), std::vector<std::string>{" ciftbx error in  dict  data_d  line    4 _type line missing\n"});
  EXPECT_EQ(c.number("_n"), 12.0);
  EXPECT_EQ(c.number("_c"), -999);  // typed char: never a number
  EXPECT_EQ(c.text("_c"), "12");
}

TEST(CifSyntax, HostileInputEndsWithoutCrashOrFlood) {
  std::mt19937 random(7);
  std::string garbage(1 << 20, '\0');
  for (char& ch : garbage) ch = static_cast<char>(random());
  for (const std::string& text :
       {garbage, "data_g\n" + garbage, std::string("data_x\n_a '"), std::string("data_x\n;"), std::string("data_"),
        std::string("loop_ _a 1"), std::string("data_x loop_ loop_ 1 2 3 data_y _a"), std::string(";\n;\n;")}) {
    Cif c(text);
    for (std::size_t b = 0; b < c.reader.blockCount(); ++b) {
      c.reader.selectBlock(b);
      c.text("_a");
      c.number("_a");
    }
    EXPECT_LE(c.ui.messages().size(), 2u * (c.reader.blockCount() + 1));
  }

  // One line of 2 MB: a loop of 400,000 values, then a miscount at its very end.
  std::string line = "data_big loop_ _a _b";
  for (int i = 0; i < 200000; ++i) line += " 1.0 x";
  Cif big(line + " 7");
  double v = 0, su = 0;
  std::size_t rows = 0;
  while (big.reader.getNumber("_a", v, su)) ++rows;
  EXPECT_EQ(rows, 200000u);
  EXPECT_EQ(big.ui.messages().size(), 1u);

  // A block of 200,000 names on one line.
  std::string names = "data_n";
  for (int i = 0; i < 200000; ++i) names += " _n" + std::to_string(i) + " " + std::to_string(i);
  Cif many(names);
  EXPECT_EQ(many.number("_n199999"), 199999.0);
}

}  // namespace
}  // namespace tessera
