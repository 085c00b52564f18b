#include <string>

#include <gtest/gtest.h>

#include "core/Match.h"

using zv::match;

TEST(Match, FindsValuesByExactKey) {
  EXPECT_EQ(match("frame_time:33,font_scale:2,", "font_scale"), "2");
  EXPECT_EQ(match("frame_time:33,font_scale:2,", "size"), "");
  EXPECT_EQ(match("Key:1,", "key"), "");
  EXPECT_EQ(match("key:1,key:2,", "key"), "1");
}

TEST(Match, WhiteSpaceIsRemovedEverywhere) {
  EXPECT_EQ(match("a : b , c:d", "a"), "b");
  EXPECT_EQ(match("\tx\n:\r1\v,\fy:2", "x"), "1");
}

TEST(Match, ExtraColonsAndMissingValues) {
  EXPECT_EQ(match("a:b:c,", "a"), "b");
  EXPECT_EQ(match("a,", "a"), "");
  EXPECT_EQ(match("a::b,", "a"), "b");  // empty parts are skipped
  EXPECT_EQ(match(":b,", "b"), "");     // a leading colon: b is the key
  EXPECT_EQ(match(":b,", ""), "");
}

TEST(Match, EmptyPiecesMakeNoEntryAndColonsOnlyStopTheParse) {
  EXPECT_EQ(match(",,,a:1,,b:2,", "b"), "2");
  EXPECT_EQ(match("a:1,:::,b:2,", "a"), "1");
  EXPECT_EQ(match("a:1,:::,b:2,", "b"), "");
  EXPECT_EQ(match("::::", "a"), "");
  EXPECT_EQ(match(",,,,", "a"), "");
}

TEST(Match, EmptyTextSearchesTheLastParse) {
  EXPECT_EQ(match("", "x"), "");  // nothing parsed yet
  EXPECT_EQ(match("x:1,y:2,", "x"), "1");
  EXPECT_EQ(match("", "y"), "2");
  EXPECT_EQ(match("z:3,", "z"), "3");
  EXPECT_EQ(match("", "y"), "");
  EXPECT_EQ(match("", "z"), "3");
}

TEST(Match, HugeTextsAreHandled) {
  std::string big;
  for (int i = 0; i < 100000; i++)
    big += "k" + std::to_string(i) + ":" + std::to_string(i * 2) + ",";
  EXPECT_EQ(match(big, "k99999"), "199998");
  EXPECT_EQ(match("", "k5"), "10");
  std::string commas(1000000, ',');
  EXPECT_EQ(match(commas, "a"), "");
  std::string colons(1000000, ':');
  EXPECT_EQ(match(colons, "a"), "");
  std::string spaces(1000000, ' ');
  EXPECT_EQ(match(spaces + "a:1" + spaces, "a"), "1");
}
