#include <gtest/gtest.h>

#include "TestSupport.h"
#include "network/EventNetwork.h"

using zv::EventNetwork;

TEST(EventNetwork, StartsWithItsLabelAndNoConnection) {
  EventNetwork e(zv::NETWORK_DATA);
  EXPECT_EQ(e.getType(), "zv-network");
  EXPECT_EQ(e.getLabel(), 3);
  EXPECT_EQ(e.getSocketIndex(), -1);
  EXPECT_EQ(e.getBytes(), 0);
  e.setSocketIndex(4);
  e.setBytes(120);
  EXPECT_EQ(e.getSocketIndex(), 4);
  EXPECT_EQ(e.getBytes(), 120);
}

TEST(EventNetwork, LabelsOutsideTheTableBecomeUndefined) {
  for (int label = -1; label <= 3; label++)
    EXPECT_EQ(EventNetwork(label).getLabel(), label);
  testing::internal::CaptureStderr();
  EventNetwork seven(7);
  EventNetwork below(-2);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(seven.getLabel(), -1);
  EXPECT_EQ(below.getLabel(), -1);
  EXPECT_NE(err.find("EventNetwork::setLabel(): Undefined type (7)."), std::string::npos);
  EXPECT_NE(err.find("EventNetwork::setLabel(): Undefined type (-2)."), std::string::npos);
  // The setter checks alike.
  seven.setLabel(1);
  EXPECT_EQ(seven.getLabel(), 1);
  testing::internal::CaptureStderr();
  seven.setLabel(4);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("Undefined type (4)."), std::string::npos);
  EXPECT_EQ(seven.getLabel(), -1);
}
