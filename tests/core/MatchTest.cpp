#include <string>

#include <gtest/gtest.h>

#include "core/Match.h"

using zv::match;

TEST(Match, KeysValuesAndOddPieces) {
  const struct {
    const char* text;
    const char* key;
    const char* value;
  } cases[] = {
      {"frame_time:33,font_scale:2,", "font_scale", "2"}, {"frame_time:33,font_scale:2,", "size", ""},
      {"Key:1,", "key", ""},                  {"key:1,key:2,", "key", "1"},
      {"a : b , c:d", "a", "b"},              {"\tx\n:\r1\v,\fy:2", "x", "1"},
      {"a:b:c,", "a", "b"},                   {"a,", "a", ""},
      {"a::b,", "a", "b"},                    {":b,", "b", ""},  // a leading colon: b is the key
      {":b,", "", ""},                        {",,,a:1,,b:2,", "b", "2"},
      {"a:1,:::,b:2,", "a", "1"},             {"a:1,:::,b:2,", "b", ""},  // colons only stop the parse
      {"::::", "a", ""},                      {",,,,", "a", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(match(c.text, c.key), c.value) << c.text << " / " << c.key;
}

TEST(Match, EmptyTextSearchesTheLastParse) {
  EXPECT_EQ(match("", "x"), "");  // nothing parsed yet
  EXPECT_EQ(match("x:1,y:2,", "x"), "1");
  EXPECT_EQ(match("", "y"), "2");
  EXPECT_EQ(match("z:3,", "z"), "3");
  EXPECT_EQ(match("", "y"), "");
  std::string big;
  for (int i = 0; i < 100000; i++)
    big += "k" + std::to_string(i) + ":" + std::to_string(i * 2) + ",";
  EXPECT_EQ(match(big, "k99999"), "199998");
  EXPECT_EQ(match("", "k5"), "10");
  EXPECT_EQ(match(std::string(1000000, ','), "a"), "");
  EXPECT_EQ(match(std::string(1000000, ':'), "a"), "");
  EXPECT_EQ(match(std::string(1000000, ' ') + "a:1", "a"), "1");
}
