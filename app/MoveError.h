#pragma once

#include <system_error>

namespace quorlix {

// Why a move or a copy refused a file, beside the system's own errors.
enum class MoveError {
    notRegular = 1, // a link, a FIFO, a device, a folder: never moved or read
    changed,        // no longer the file that was seen (edited, replaced, gone)
    noTrash,        // the file's drive has no Trash that can be used
};

const std::error_category& moveErrorCategory();
std::error_code make_error_code(MoveError error);

} // namespace quorlix

template <> struct std::is_error_code_enum<quorlix::MoveError> : std::true_type {};
