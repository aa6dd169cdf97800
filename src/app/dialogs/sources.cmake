# The window's parameter dialogs; widgets, so part of the Qt program only.
set(APP_DIALOG_SOURCES
  app/dialogs/erase_sector_dialog.cpp
  app/dialogs/flash_read_dialog.cpp
  app/dialogs/flash_write_dialog.cpp
  app/dialogs/image_transfer_dialog.cpp
  app/dialogs/timeout_dialog.cpp
)
