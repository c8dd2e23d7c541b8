#pragma once

namespace vx::tool {

struct ToolRequest;

// unpack IMAGE DIR --base BASE: the project folder for IMAGE over BASE.
int unpackProjectFolder(const ToolRequest& request);
// build DIR --base BASE --out OUT: the image the folder's steps make of BASE.
int buildProjectFolder(const ToolRequest& request);
// verify DIR --base BASE: 0 when unpacking the build gives the folder back, 1 naming each difference.
int verifyProjectFolder(const ToolRequest& request);

} // namespace vx::tool
