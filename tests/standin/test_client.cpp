// A test under Wine reaches the background stand-in: the web service, a scenario, the request
// log with its exact bytes, and the login port.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "support/standin_client.h"

namespace {

class StandinClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(standin.ok()) << standin.error();
    ASSERT_TRUE(standin.Reset());
  }
  testsupport::StandinClient standin;
};

void PutLe32(std::string& data, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) data[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

uint32_t GetLe32(const std::string& data, size_t offset) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(data[offset + i]);
  return value;
}

}  // namespace

TEST_F(StandinClientTest, WebServiceRequestIsAnsweredAndLogged) {
  testsupport::HttpReply reply;
  ASSERT_TRUE(standin.Get("/app/ws/car-radios", &reply));
  EXPECT_EQ(200, reply.status);
  EXPECT_NE(std::string::npos, reply.body.find("<types>"));
  EXPECT_NE(std::string::npos, reply.body.find(standin.Url("/cover/")));

  boost::property_tree::ptree log = standin.Log("/app/ws/");
  ASSERT_EQ(1u, log.get_child("requests").size());
  EXPECT_EQ("/app/ws/car-radios", log.get_child("requests").front().second.get<std::string>("path"));
  std::string raw = standin.RawRequest(1);
  EXPECT_EQ(0u, raw.find("GET /app/ws/car-radios HTTP/1.1\r\nHost: " + standin.Host() + "\r\n"));
}

TEST_F(StandinClientTest, ScenarioShapesTheNextRepliesUntilReset) {
  ASSERT_TRUE(standin.SetScenario(R"({"http": {"match": "/app/ws/", "status": 503,
                                               "body": "busy", "times": 1}})"));
  EXPECT_FALSE(standin.SetScenario(R"({"http": {"no such field": 1}})"));
  testsupport::HttpReply reply;
  ASSERT_TRUE(standin.Get("/app/ws/car-radios", &reply));
  EXPECT_EQ(503, reply.status);
  EXPECT_EQ("busy", reply.body);
  ASSERT_TRUE(standin.Get("/app/ws/car-radios", &reply));
  EXPECT_EQ(200, reply.status);
}

TEST_F(StandinClientTest, LoginPortAnswersTheLogonExchange) {
  const std::string user = "editor@example.com";
  std::string request(169 + user.size(), '\0');
  PutLe32(request, 0, static_cast<uint32_t>(request.size()));
  PutLe32(request, 4, 2);
  PutLe32(request, 8, 2);
  memcpy(&request[12], "logon", 5);
  memcpy(&request[52], "0b3f9c45451315d4c8e7ed18c225b6af", 32);  // MD5 of "lyrics123"
  memcpy(&request[168], user.data(), user.size());

  std::string reply;
  ASSERT_TRUE(testsupport::RawExchange(standin.loginPort(), request, &reply));
  ASSERT_EQ(48u, reply.size());
  EXPECT_EQ(48u, GetLe32(reply, 0));
  EXPECT_EQ(1u, GetLe32(reply, 36));
  EXPECT_EQ(1001u, GetLe32(reply, 40));
  EXPECT_EQ(request, standin.RawLogin(1));
}
