// A transfer that is performed again keeps only what its last perform received.
#include <gtest/gtest.h>

#include <string>

#include "foundation/buffer.h"
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
  CBuffer body(web_api::kBufferSize), head(web_api::kBufferSize);
  body.WriteString("<html>");
  head.WriteString("HTTP/1.1 302 Found\r\n");

  CurlEasyHandle handle(curl_easy_init());
  ASSERT_TRUE(handle);
  web_api::SetTransferOptions(
      handle.get(), standin.Host() + "/sdk/index/get-callid?client_id=" + web_api::kApiKey, nullptr,
      body, head);
  ASSERT_EQ(CURLE_OK, PerformWithRetry(handle.get(), body, head));
  const std::string text = BufferText(body);
  EXPECT_EQ(0u, text.find("{\"status\": \"ok\"")) << text;
  EXPECT_EQ(0u, BufferText(head).find("HTTP/1.1 200 ")) << BufferText(head);
}
