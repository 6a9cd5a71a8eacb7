#pragma once

#include <string>

// What a run of kolvane-convert (in this process or a child) ended with, checked in one line:
// each helper is empty when the run did as expected, else says what it did instead.
namespace kolvane::testing {

template <typename R> std::string Ran(const R& r, int exitCode) {
    return "exit " + std::to_string(r.exitCode) + " (expected " + std::to_string(exitCode) +
           ")\nout: " + r.out + "\nerr: " + r.err;
}

// Exited with `exitCode`, its error stream holding `part`.
template <typename R> std::string Said(const R& r, int exitCode, const std::string& part) {
    return r.exitCode == exitCode && r.err.find(part) != std::string::npos
               ? ""
               : "「" + part + "」? " + Ran(r, exitCode);
}

// Exited with `exitCode`, its standard output holding `part`.
template <typename R> std::string Printed(const R& r, int exitCode, const std::string& part) {
    return r.exitCode == exitCode && r.out.find(part) != std::string::npos
               ? ""
               : "「" + part + "」? " + Ran(r, exitCode);
}

// A usage error: exit code 2, nothing on standard output, and the error stream starting with `message`.
template <typename R> std::string Refused(const R& r, const std::string& message) {
    return r.exitCode == 2 && r.out.empty() && r.err.starts_with("kolvane-convert: " + message)
               ? ""
               : "「" + message + "」? " + Ran(r, 2);
}

} // namespace kolvane::testing
