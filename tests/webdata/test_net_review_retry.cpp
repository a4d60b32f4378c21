// A transfer that is performed again keeps only what its last perform received.
#include <gtest/gtest.h>

#include <string>

#include "support/standin_client.h"
#include "support/standin_site.h"
#include "webdata/api_call.h"
#include "webdata/api_signing.h"
#include "webdata/curl_transfer.h"

namespace {

auto* const g_site = ::testing::AddGlobalTestEnvironment(new testsupport::StandinSite);

}  // namespace

TEST(TransferRetry, EveryPerformStartsFromEmptyBuffers) {
  testsupport::StandinClient standin;
  ASSERT_TRUE(standin.ok()) << standin.error();
  ASSERT_TRUE(standin.Reset());

  // What an earlier, failed perform of the same exchange left behind.
  CurlReplyBuffer body(1 << 16), head(1 << 16);
  char page[] = "<html>", status[] = "HTTP/1.1 302 Found\r\n";
  CurlReplyBuffer::Callback(page, 1, sizeof page - 1, &body);
  CurlReplyBuffer::Callback(status, 1, sizeof status - 1, &head);

  CurlEasyHandle handle(curl_easy_init());
  ASSERT_TRUE(handle);
  web_api::SetTransferOptions(
      handle.get(), standin.Host() + "/sdk/index/get-callid?client_id=" + web_api::kApiKey, nullptr,
      body, head);
  ASSERT_EQ(CURLE_OK, PerformWithRetry(handle.get(), body, head));
  const std::string text = body.Text();
  EXPECT_EQ(0u, text.find("{\"status\": \"ok\"")) << text;
  EXPECT_EQ(0u, head.Text().find("HTTP/1.1 200 ")) << head.Text();
}
