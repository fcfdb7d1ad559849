#ifndef CORDSHIFT_PLATFORM_TEXT_FILE_H_
#define CORDSHIFT_PLATFORM_TEXT_FILE_H_

// Kept only until its includers name the headers below that they use.
#include "platform/file_path.h"
#include "platform/file_read.h"
#include "platform/line_reader.h"
#include "platform/opened_folder.h"
#include "platform/staged_write.h"
#include "platform/temp_files.h"

#endif  // CORDSHIFT_PLATFORM_TEXT_FILE_H_
