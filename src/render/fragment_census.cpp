#include "render/fragment_census.h"

#include <cstdio>

#include "core/log.h"

namespace hg {
namespace {

std::string percentOf(uint64_t part, long whole) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", whole > 0 ? 100.0 * static_cast<double>(part) / static_cast<double>(whole) : 0.0);
    return text;
}

}  // namespace

bool FragmentCensus::counting() const {
    return chosen_ > 0 && frame_ == chosen_ && !reported_ && glGenQueriesARB != nullptr;
}

void FragmentCensus::begin() {
    if (query_ == 0) glGenQueriesARB(1, &query_);
    glBeginQueryARB(GL_SAMPLES_PASSED_ARB, query_);
}

void FragmentCensus::end(const std::string& what) {
    glEndQueryARB(GL_SAMPLES_PASSED_ARB);
    GLuint samples = 0;
    glGetQueryObjectuivARB(query_, GL_QUERY_RESULT_ARB, &samples);
    entries_.push_back({what, samples});
}

void FragmentCensus::report(long viewPixels) {
    if (reported_ || !counting()) return;
    reported_ = true;
    // Nothing asks again: the query goes now, while its context is surely current.
    if (query_ != 0) glDeleteQueriesARB(1, &query_);
    query_ = 0;
    uint64_t total = 0;
    size_t silent = 0;
    for (const Entry& entry : entries_) {
        total += entry.samples;
        if (entry.samples == 0) {
            ++silent;
            continue;
        }
        log_.writeLine("Census: " + entry.what + " " + std::to_string(entry.samples) + " (" + percentOf(entry.samples, viewPixels) +
                       " % of the view)");
    }
    log_.writeLine("Census: frame " + std::to_string(frame_) + ", " + std::to_string(total) + " pixels drawn in all (" +
                   percentOf(total, viewPixels) + " % of the view), " + std::to_string(silent) + " of " +
                   std::to_string(entries_.size()) + " drew none");
}

}  // namespace hg
