// The HTTP client's answer reader: any bytes, cut into pieces the first input byte chooses.
// The head ends where the byte rules say, nothing is lost or doubled between head and body,
// and no answer beyond the bound is kept.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "web/http_answer.h"
#include "web/http_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::size_t piece = 1 + data[0];
    // Repeated so that long answers, past the bound, are tried too.
    const std::size_t repeat = data[0] % 4 == 0 ? 1 + HttpAnswerReader::kMaxAnswerBytes / size : 1;
    std::string answer;
    for (std::size_t i = 0; i < repeat; ++i) {
        answer.append(reinterpret_cast<const char*>(data) + 1, size - 1);
    }

    HttpAnswerReader reader;
    bool taken = true;
    for (std::size_t at = 0; at < answer.size() && taken; at += piece) {
        taken = reader.Take(answer.data() + at, std::min(piece, answer.size() - at));
    }
    if (taken != (answer.size() <= HttpAnswerReader::kMaxAnswerBytes) ||
        reader.TooLong() == taken) {
        std::abort();  // refused an answer within the bound, or kept one beyond it
    }
    if (!taken) {
        return 0;
    }
    const std::size_t head = HeadLength(answer.data(), answer.size());
    if (reader.Head().Length() != head || (head < answer.size() && !reader.HeadEnded()) ||
        reader.Head().Bytes() != answer.substr(0, head) ||
        reader.Body().Bytes() != answer.substr(head) ||
        reader.Body().Length() + reader.Head().Length() != answer.size()) {
        std::abort();
    }
    return 0;
}
