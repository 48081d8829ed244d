// Decoding and replacement of the configuration blocks.
#include "viewers/config_registers.h"

#include <stdexcept>

namespace kaslo::viewers {
namespace {
[[noreturn]] void NotYet() { throw std::logic_error("configuration block not decoded yet"); }
}  // namespace

RegisterGrid DecodePaymentConfig(std::string_view, std::string_view) { NotYet(); }
RegisterGrid DecodePayments(std::string_view, std::string_view) { NotYet(); }
RegisterGrid DisplayPaymentConfig(const std::filesystem::path&, const std::filesystem::path&) { NotYet(); }
RegisterGrid DisplayPayments(const std::filesystem::path&, const std::filesystem::path&) { NotYet(); }
ReplaceOutcome ReplacePaymentConfig(const db::Database&, const RegisterGrid&) { NotYet(); }
ReplaceOutcome ReplacePayments(const db::Database&, const RegisterGrid&) { NotYet(); }
RegisterGrid DecodeParameters(std::string_view, std::string_view, std::string_view) { NotYet(); }
RegisterGrid DisplayParameters(const std::filesystem::path&, const std::filesystem::path&,
                               const std::filesystem::path&) { NotYet(); }
ReplaceOutcome ReplaceParameters(const db::Database&, const RegisterGrid&) { NotYet(); }
RegisterGrid DecodeDiscounts(std::string_view) { NotYet(); }
RegisterGrid DisplayDiscounts(const std::filesystem::path&) { NotYet(); }
ReplaceOutcome ReplaceDiscounts(const db::Database&, const RegisterGrid&) { NotYet(); }
RegisterGrid DecodeSaleMessage(std::string_view) { NotYet(); }
RegisterGrid DisplaySaleMessage(const std::filesystem::path&) { NotYet(); }
ReplaceOutcome ReplaceSaleMessage(const db::Database&, const RegisterGrid&) { NotYet(); }
RegisterGrid DecodeStoreData(std::string_view) { NotYet(); }
RegisterGrid DisplayStoreData(const std::filesystem::path&) { NotYet(); }
RegisterGrid DecodeDateTime(std::string_view) { NotYet(); }
RegisterGrid DisplayDateTime(const std::filesystem::path&) { NotYet(); }
RegisterGrid DecodeKeyboard(const db::Database&, std::string_view) { NotYet(); }
RegisterGrid DisplayKeyboard(const db::Database&, const std::filesystem::path&) { NotYet(); }
ReplaceOutcome ReplaceKeyboard(const db::Database&, const RegisterGrid&) { NotYet(); }

}  // namespace kaslo::viewers
