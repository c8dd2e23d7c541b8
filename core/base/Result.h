#pragma once
#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace vx {

// Why something was refused or failed, as the user reads it: a sentence in the user's
// language and, when it comes from a file's contents, the file and where in it (a JSON
// pointer such as "/rooms/12/3"). The tool prints it, the editor shows it.
struct Error {
    explicit Error(std::string message, std::string file = {}, std::string path = {})
        : message(std::move(message)), file(std::move(file)), path(std::move(path))
    {
    }

    std::string message;
    std::string file;
    std::string path;

    // "file: /rooms/12/3: message." with the parts there are; the message alone otherwise.
    std::string text() const;
    bool operator==(const Error&) const = default;
};

// A value, or the Error that kept it from being made. There is no conversion to bool on
// purpose: a caller asks ok() and cannot take a refusal for a success by accident.
template <class T>
class [[nodiscard]] Result {
public:
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    Result(Error error) : state_(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return state_.index() == 0; }
    T& value() { return std::get<0>(state_); }
    const T& value() const { return std::get<0>(state_); }
    const Error& error() const { return std::get<1>(state_); }

private:
    std::variant<T, Error> state_;
};

// Success with nothing to return, or the Error.
template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error) : error_(std::move(error)) {}

    bool ok() const { return !error_.has_value(); }
    const Error& error() const { return *error_; }

private:
    std::optional<Error> error_;
};

// Spelled so at a return: "return Done;".
inline const Result<void> Done{};

} // namespace vx
