// A host built from the documented contract alone: it declares the types itself, as a host
// that never saw this project's headers would, and must still link and run against the
// library. A moved virtual slot, a changed signature or a reordered field fails here.

#include <cstdint>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include <vazuvuriz_rix/stdout_capture.hpp>

enum LogLevel_t : int { LOG_DEBUG = 0, LOG_INFO = 1, LOG_WARNING = 2, LOG_ERROR = 3 };
enum Status_t : int { STATUS_SUCCESS = 0, STATUS_FAILURE = 1 };

struct VAZUVURIZ_RIX_OPTIONS {
  std::string cfg_id, aux, ip, port, tls_ca_cert, tls_prog_cert, tls_prog_key, tls_prog_key_pass,
      proxy_address, proxy_user, proxy_password;
};

class TavreneContext {
 public:
  virtual ~TavreneContext() = default;
  virtual void log(LogLevel_t level, const std::string& message) = 0;
  virtual Status_t send_packet(const uint32_t* request, uint64_t request_length,
                               uint32_t** response, uint64_t& response_length) = 0;
  virtual std::string get_config(const std::string& key) = 0;
};

class VAZUVURIZ_RIX_TESTER : public TavreneContext {
 public:
  VAZUVURIZ_RIX_TESTER(VAZUVURIZ_RIX_OPTIONS options);
  VAZUVURIZ_RIX_TESTER(const VAZUVURIZ_RIX_TESTER& other);
  VAZUVURIZ_RIX_TESTER& operator=(const VAZUVURIZ_RIX_TESTER& other);
  ~VAZUVURIZ_RIX_TESTER() override;
  void log(LogLevel_t level, const std::string& message) override;
  Status_t send_packet(const uint32_t* request, uint64_t request_length, uint32_t** response,
                       uint64_t& response_length) override;
  std::string get_config(const std::string& key) override;

 private:
  VAZUVURIZ_RIX_OPTIONS options;
};

namespace {

TEST(DocumentedLayout, HostBuiltFromTheContractAloneRunsEveryOperation) {
  // Each field holds its own name, in the documented order: two fields swapped show.
  const VAZUVURIZ_RIX_OPTIONS options{"cfg_id",
                                      "aux",
                                      "ip",
                                      "port",
                                      "tls_ca_cert",
                                      "tls_prog_cert",
                                      "tls_prog_key",
                                      "tls_prog_key_pass",
                                      "proxy_address",
                                      "proxy_user",
                                      "proxy_password"};

  std::unique_ptr<TavreneContext> context;
  std::unique_ptr<VAZUVURIZ_RIX_TESTER> copy;
  const std::string console = captured_stdout([&] {
    context = std::make_unique<VAZUVURIZ_RIX_TESTER>(options);
    copy = std::make_unique<VAZUVURIZ_RIX_TESTER>(static_cast<VAZUVURIZ_RIX_TESTER&>(*context));
    *copy = static_cast<VAZUVURIZ_RIX_TESTER&>(*context);
    copy->log(LOG_WARNING, "through the slot");
  });
  EXPECT_EQ(console,
            "\n------------------------------------\n"
            "Programmer RIX Plugin Tester\n"
            "------------------------------------\n"
            "RIX PLUGIN WARNING: through the slot\n");

  // Every key is "rix_" and the name of the field it returns; none returns `aux`.
  for (TavreneContext* answering : {context.get(), static_cast<TavreneContext*>(copy.get())}) {
    for (const std::string field :
         {"cfg_id", "ip", "port", "tls_ca_cert", "tls_prog_cert", "tls_prog_key",
          "tls_prog_key_pass", "proxy_address", "proxy_user", "proxy_password"}) {
      EXPECT_EQ(answering->get_config("rix_" + field), field);
    }
    EXPECT_EQ(answering->get_config("rix_aux"), "");
  }

  const uint32_t word = 7;
  uint32_t* response = nullptr;
  uint64_t response_length = 3;
  EXPECT_EQ(context->send_packet(&word, 1, &response, response_length), STATUS_SUCCESS);
  EXPECT_EQ(context->send_packet(&word, 0, &response, response_length), STATUS_FAILURE);
  EXPECT_EQ(response_length, 0u);
}

}  // namespace
