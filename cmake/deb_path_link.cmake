# Run by CPack while it stages the .deb (DESTDIR is the package's root):
# /usr/bin/norbix, a link to the program.
file(MAKE_DIRECTORY "$ENV{DESTDIR}/usr/bin")
file(CREATE_LINK "${CPACK_PACKAGING_INSTALL_PREFIX}/norbix" "$ENV{DESTDIR}/usr/bin/norbix" SYMBOLIC)
