#pragma once
// Writes forms as source text, in the layout scripts are usually shared in: a list that fits in
// the line (100 columns) stands on it whole; one that does not keeps its first item on its line,
// puts every other item on a line of its own, indented two spaces deeper, and closes on a line of
// its own. A script's header (script, type, return type, name) stays on its first line, each of
// its statements goes on a line of its own, a global that fits stands on one line, and a blank
// line separates scripts and globals:
//
//   (script startup intro
//     (camera_set point_2 400)
//     (sleep_until
//       (volume_test_objects ...)
//       15
//     )
//   )
//
// Strings are written in double quotes (the caller keeps quotes out of them). Printing fills in
// each form's position, so that a form can be found in the text again.

#include <string>
#include <string_view>
#include <vector>

#include "hsc/SourceForm.h"

namespace xsc::hsc {

// `heading`: comment lines written first, each behind "; ".
std::string PrintSource(std::vector<Form>& forms, const std::vector<std::string>& heading = {});

}  // namespace xsc::hsc
