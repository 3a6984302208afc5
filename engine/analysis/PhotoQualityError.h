#pragma once

#include <stdexcept>
#include <string>

namespace quorlix {

// A photo that could not be scored. Its message is the sentence shown to the user.
class PhotoQualityError : public std::runtime_error {
public:
    enum class Kind { undecodable };

    // "Image not decodable: " followed by the file name.
    static PhotoQualityError undecodable(const std::string& fileName);

    Kind kind() const { return kind_; }
    const std::string& fileName() const { return fileName_; }

private:
    PhotoQualityError(Kind kind, const std::string& fileName);

    Kind kind_;
    std::string fileName_;
};

} // namespace quorlix
