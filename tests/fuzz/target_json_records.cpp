// The JSON records of the web API (track detail, album detail, the grants' tokens, the upload
// result, the time sync), each loaded from the reply text by FromJsonString as the transfers
// hand it over. Two runs share the parsing: "json_nested" also wraps values in deep nesting,
// "json_flat" also repeats members and elements into long flat lists, each up to and past the
// reader's limits.
#include "fuzz/fuzz_harness.h"

#include <boost/make_shared.hpp>

#include "fuzz/fuzz_mutator.h"
#include "webdata/proto_replies.h"

namespace fuzz {

namespace {

void Run(const uint8_t* data, size_t size) {
  const std::string text = GuardedText(data, size);
  // One record per input, chosen by its length, so that an input replays alike.
  switch (size % 5) {
    case 0: {
      proto::songdetail track;
      if (track.FromJsonString(text) && track.GetSong()) (void)track.GetSong()->GetSongId();
      break;
    }
    case 1: {
      proto::albumdetail album;
      if (album.FromJsonString(text) && album.GetAlbum()) (void)album.GetAlbum()->GetSongs().size();
      break;
    }
    case 2: {
      proto::accesstoken token;
      token.FromJsonString(text);
      break;
    }
    case 3: {
      proto::uploadResult upload;
      upload.FromJsonString(text);
      break;
    }
    default: {
      proto::timestamp timestamp;
      timestamp.FromJsonString(text);
      break;
    }
  }
}

// How many times to repeat: mostly a few, sometimes around the limit, rarely far beyond it.
size_t Count(Mutator& mutator, size_t limit) {
  Random& random = mutator.random();
  if (random.OneIn(32)) return limit * (1 + random.Below(3)) - 8 + random.Below(16);
  if (random.OneIn(4)) return limit - 8 + random.Below(16);
  return 1 + random.Below(limit < 100 ? limit : 100);
}

void Nest(Mutator& mutator, Bytes& input) {
  static const char* const kOpen[] = {"[", "{\"data\":", "[1,", "{\"data\":[", "{\"a\":{\"b\":"};
  static const char* const kClose[] = {"]", "}", "]", "]}", "}}"};
  Random& random = mutator.random();
  const size_t which = random.Below(5);
  // 13000 levels took the reader's stack; the limit the program keeps is 64.
  const size_t depth = random.OneIn(8) ? Count(mutator, 13000) : Count(mutator, 64);
  const size_t open = random.Below(input.size() + 1);
  const size_t close = open + random.Below(input.size() - open + 1);
  mutator.InsertRepeated(input, close, kClose[which], depth);
  mutator.InsertRepeated(input, open, kOpen[which], depth);
}

void Flatten(Mutator& mutator, Bytes& input) {
  Random& random = mutator.random();
  // Past the limit of 100000 values the reader refuses the text before building anything; just
  // within it, it builds them all (a second or more), so those inputs are rare.
  const size_t which = random.Below(1024);
  if (which < 128) {
    const size_t at = input.find('[', random.Below(input.size() + 1));
    const size_t count = 100001 + random.Below(which < 8 ? 4 : 100000);
    mutator.InsertRepeated(input, at == std::string::npos ? input.size() : at + 1, "1,", count);
    return;
  }
  // A member or element of the input (from one comma to the next), or a small value of its own.
  std::string piece;
  const size_t comma = input.find(',', random.Below(input.size() + 1));
  if (comma != std::string::npos && !random.OneIn(4)) {
    const size_t next = input.find(',', comma + 1);
    piece = input.substr(comma, next == std::string::npos ? 1 : next - comma);
  } else {
    static const char* const kValues[] = {",1", ",\"\"", ",{}", ",[]", ",null", ",\"a\":1"};
    piece = kValues[random.Below(6)];
  }
  const size_t at = comma == std::string::npos ? random.Below(input.size() + 1) : comma;
  const size_t count = which == 128 ? 99990 + random.Below(10) : 1 + random.Below(2000);
  mutator.InsertRepeated(input, at, piece, count);
}

}  // namespace

extern const Target kJsonNestedTarget = {"json_nested", "json_records", 64 << 10, false,
                                         nullptr,       &Run,           &Nest};
extern const Target kJsonFlatTarget = {"json_flat", "json_records", 256 << 10, false,
                                       nullptr,     &Run,           &Flatten};

}  // namespace fuzz
