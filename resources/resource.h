#pragma once
// Resource identifiers of the library.
