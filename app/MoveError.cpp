#include "app/MoveError.h"

#include <string>

namespace quorlix {

namespace {

class Category : public std::error_category {
public:
    const char* name() const noexcept override { return "quorlix.move"; }
    std::string message(int value) const override {
        switch (MoveError(value)) {
        case MoveError::notRegular:
            return "not a regular file";
        case MoveError::changed:
            return "the file changed since it was seen";
        case MoveError::noTrash:
            return "no usable Trash on this drive";
        }
        return "unknown move error";
    }
};

} // namespace

const std::error_category& moveErrorCategory() {
    static const Category category;
    return category;
}

std::error_code make_error_code(MoveError error) {
    return {int(error), moveErrorCategory()};
}

} // namespace quorlix
