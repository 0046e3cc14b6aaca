# The Debian package of the Linux program, made with CPack (cpack -G DEB in
# the build folder; scripts/package.sh does it).  The version is the
# project's VERSION; what a Debian package needs beside the program
# (copyright, changelog, manual page, AppStream metadata) is made here from
# the templates in resources/linux.
include(GNUInstallDirs)

set(KELVAR_APP_ID "io.github.kelvar.kelvarpm" CACHE STRING "AppStream component id")
set(KELVAR_HOMEPAGE "https://kelvar.example/kelvarpm" CACHE STRING "Project home page (AppStream, .deb)")
set(KELVAR_SCREENSHOT_URL "${KELVAR_HOMEPAGE}/screenshots/linux.png" CACHE STRING "Screenshot address (AppStream)")
set(KELVAR_MAINTAINER "Kelvar maintainers <maintainers@users.noreply.c-seed-a41c47a4.example>"
    CACHE STRING "Maintainer of the Debian package")
set(KELVAR_RELEASE_DATE "2026-12-07")

set(linux_res ${PROJECT_SOURCE_DIR}/resources/linux)
set(gen ${PROJECT_BINARY_DIR}/packaging)
execute_process(COMMAND date -u -R -d "${KELVAR_RELEASE_DATE}" OUTPUT_VARIABLE KELVAR_RELEASE_DATE_RFC2822
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
configure_file(${linux_res}/kelvarpm.metainfo.xml.in ${gen}/${KELVAR_APP_ID}.metainfo.xml @ONLY)
configure_file(${linux_res}/debian/copyright.in ${gen}/copyright @ONLY)
configure_file(${linux_res}/debian/changelog.in ${gen}/changelog @ONLY)
configure_file(${linux_res}/kelvarpm.1.in ${gen}/kelvarpm.1 @ONLY)

# Debian wants the changelog and manual page compressed, without a name or
# time in the gzip header.
add_custom_command(
  OUTPUT ${gen}/changelog.gz ${gen}/kelvarpm.1.gz
  COMMAND gzip -9 -n -c ${gen}/changelog > ${gen}/changelog.gz
  COMMAND gzip -9 -n -c ${gen}/kelvarpm.1 > ${gen}/kelvarpm.1.gz
  DEPENDS ${gen}/changelog ${gen}/kelvarpm.1
  COMMENT "Compressed changelog and manual page"
  VERBATIM)
add_custom_target(kelvar_package_docs ALL DEPENDS ${gen}/changelog.gz ${gen}/kelvarpm.1.gz)

install(FILES ${gen}/${KELVAR_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${gen}/copyright ${gen}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kelvarpm)
install(FILES ${gen}/kelvarpm.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${linux_res}/debian/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME kelvarpm)
# Symbols bound at start-up, so the relocation table can be read-only.
target_link_options(kelvarpm PRIVATE -Wl,-z,relro,-z,now)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelvarpm)
set(CPACK_PACKAGE_VENDOR Kelvar)
set(CPACK_PACKAGE_CONTACT "${KELVAR_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KELVAR_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION admin)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${KELVAR_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Without the GNOME or KDE file manager the properties and folder commands
# fall back to the program's own dialog and the desktop's URL opener.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xdg-utils")
# A desktop with Wayland alone needs Qt's Wayland platform; with XWayland, or
# on X11, the program runs on xcb.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "process manager with a Chinese interface (Kelvar进程管理)
Kelvar Process Manager lists the running processes in one window: name,
PID, memory, kind, level, priority class, path and remark. On the selected
process it can end it, end it and move its executable to the trash, set its
priority class, show the file's properties or open its folder. A remark file
names the system's own programs and says whether ending them harms the
system.

Kelvar进程管理：在一个窗口中列出正在运行的进程（名称、PID、内存、种类、
级别、优先级、路径和备注）。对选中的进程可以结束它、结束并把程序文件移到
回收站、设置优先级、查看文件属性或打开所在文件夹。备注文件说明系统自带的
程序是什么，以及结束它们是否会影响系统。")
include(CPack)
