#include <gtest/gtest.h>

#include <zelvra/core/Match.h>

using zv::match;

TEST(Match, KeysValuesAndOddPieces) {
  // Text, key, value; white space goes everywhere, empty parts are skipped, a piece of colons stops the parse.
  const char* const cases[][3] = {
      {"frame_time:33,font_scale:2,", "font_scale", "2"}, {"frame_time:33,", "size", ""}, {"Key:1,", "key", ""},
      {"key:1,key:2,", "key", "1"}, {"a : b , c:d", "a", "b"}, {"\tx\n:\r1\v,\fy:2", "x", "1"}, {"a:b:c,", "a", "b"},
      {"a,", "a", ""}, {"a::b,", "a", "b"}, {":b,", "b", ""}, {":b,", "", ""}, {",,,a:1,,b:2,", "b", "2"},
      {"a:1,:::,b:2,", "a", "1"}, {"a:1,:::,b:2,", "b", ""}, {"::::", "a", ""}, {",,,,", "a", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(match(c[0], c[1]), c[2]) << c[0] << " / " << c[1];
}

TEST(Match, EmptyTextSearchesTheLastParseAndHugeTextsWork) {
  std::string big;
  for (int i = 0; i < 100000; i++)
    big += "k" + std::to_string(i) + ":" + std::to_string(i * 2) + ",";
  // Braces: evaluated in order.
  EXPECT_EQ(std::vector<std::string>({match("", "x"), match("x:1,y:2,", "x"), match("", "y"), match("z:3,", "z"),
                                      match("", "y"), match(big, "k99999"), match("", "k5"),
                                      match(std::string(1000000, ','), "a"), match(std::string(1000000, ':'), "a"),
                                      match(std::string(1000000, ' ') + "a:1", "a")}),
            std::vector<std::string>({"", "1", "2", "3", "", "199998", "10", "", "", "1"}));
}
