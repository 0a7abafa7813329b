#pragma once

namespace forms {

// The answer to a question box (Confirm, AskYesNo), or the one a test's
// MessageSeam gives in its place.
enum class Answer { Yes, No, Cancel };

} // namespace forms
