#pragma once
// Shared by the benchmark's modes.
