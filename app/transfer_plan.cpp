#include "app/transfer_plan.h"

#include "app/http_values.h"

namespace {

constexpr uint32_t kOk = 200, kPartial = 206, kUnsatisfiable = 416, kFirstError = 400;

// Whether a 206 names the version the part file holds: the record's strong
// ETag, or its date when it has none. A server or proxy that ignored
// If-Range sends the rest of whatever it has now, under that version's
// names.
bool SameVersion(const AnswerHeaders& answer, const PartialRecord& record) {
  std::string validator = if_range_validator(record);
  if (validator.empty()) return false;
  return validator == record.etag ? answer.etag == record.etag : answer.last_modified == record.last_modified;
}

}  // namespace

Plan plan_for_whole(const AnswerHeaders& answer, bool decoding) {
  // An error page, a redirect that was not followed, an empty answer (204)
  // or a range nobody asked for is no archive.
  if (answer.left_tls || answer.status != kOk) return Plan::kRefused;
  // Encoded bytes would not be the archive when the system does not decode.
  if (answer.encoded && !decoding) return Plan::kRefused;
  // Nor is an empty body, which would replace a file with nothing.
  if (!answer.encoded && answer.content_length == 0) return Plan::kRefused;
  return Plan::kFromZero;
}

Plan plan_for_rest(const AnswerHeaders& answer, const PartialRecord& record, int64_t resume_from) {
  if (answer.left_tls) return Plan::kRefused;
  if (answer.status >= kFirstError && answer.status != kUnsatisfiable) return Plan::kRefused;
  if (answer.encoded) return Plan::kAskAgain;  // an encoded transfer is never resumed
  // Another version, or a server that ignores ranges: its body is the whole
  // archive (no encoding was offered, so it is identity bytes).
  if (answer.status == kOk) return plan_for_whole(answer, false);
  ContentRange range;
  bool ranged = parse_content_range(answer.content_range.c_str(), &range);
  bool same_total = ranged && range.total == record.total;
  if (answer.status == kPartial && same_total && range.first == resume_from && SameVersion(answer, record))
    return Plan::kAppend;
  if (answer.status == kUnsatisfiable && same_total && range.first < 0 && resume_from == range.total)
    return Plan::kComplete;
  return Plan::kAskAgain;
}

uint32_t displayed_elapsed_ms(uint32_t start_tick, uint32_t now, uint32_t body_ms, bool finished) {
  uint32_t elapsed = finished && body_ms ? body_ms : now - start_tick;  // unsigned: right across the wrap
  return elapsed ? elapsed : 10;
}

bool transfer_stalled(uint32_t now, uint32_t last_activity, uint32_t limit_ms) {
  // Signed: the clock's wrap-around and a tick from just after `now` both
  // come out right.
  return static_cast<int32_t>(now - last_activity) > static_cast<int32_t>(limit_ms);
}
