// The worker's decisions, apart from the calls that gather what they are
// made of: what becomes of the part file after an answer's headers, and
// when a transfer counts as stalled.
#pragma once
#include <cstdint>
#include <string>

#include "app/partial_download.h"

// What the worker read of an answer before its body.
struct AnswerHeaders {
  uint32_t status = 0;
  bool left_tls = false;       // an https request that ended on a plain http address
  bool encoded = false;        // a Content-Encoding other than identity
  int64_t content_length = -1;  // -1: not given, or not a number
  std::string content_range;
  std::string etag;
  std::string last_modified;
};

// What the part file will be after an answer.
enum class Plan {
  kRefused,   // an error, or an answer that is no archive
  kFromZero,  // this answer's body is the whole archive
  kAppend,    // this answer's body is the rest of the part file's archive
  kComplete,  // the part file already holds the whole archive
  kAskAgain,  // a resumed request was not answered with the rest: ask for all of it
};

// The answer to a request from byte 0. `decoding`: the system undoes
// gzip and deflate.
Plan plan_for_whole(const AnswerHeaders& answer, bool decoding);

// The answer to a request for the rest of `record`'s archive from byte
// `resume_from` on. Only the rest of the same version, from that byte, is
// appended; anything else starts again from byte 0.
Plan plan_for_rest(const AnswerHeaders& answer, const PartialRecord& record, int64_t resume_from);

// Whether a transfer whose last sign of life was at tick `last_activity`
// has gone silent for longer than `limit_ms` by tick `now`. The worker
// writes its tick while the window's thread reads the clock, so `last` may
// be a moment later than `now`: that is activity, not a wrapped wait.
bool transfer_stalled(uint32_t now, uint32_t last_activity, uint32_t limit_ms);

// The elapsed time the display shows at tick `now` for a transfer started
// at `start_tick`: never 0 (a first block within the start's millisecond
// shows 10 ms), and once finished the time to the body's last byte
// (`body_ms`, 0 when unknown), not the hash and move that came after it.
uint32_t displayed_elapsed_ms(uint32_t start_tick, uint32_t now, uint32_t body_ms, bool finished);
