package quillomere.tarvex;

/**
 * Loads the native library {@code libquorbind.so} once, from {@code java.library.path}, or from
 * the file that the system property {@code quillomere.tarvex.library} names.
 */
final class NativeLibrary {
    private static boolean loaded;

    private NativeLibrary() {}

    static synchronized void load() {
        if (loaded) {
            return;
        }
        String file = System.getProperty("quillomere.tarvex.library");
        if (file != null && !file.isEmpty()) {
            System.load(file);
        } else {
            System.loadLibrary("quorbind");
        }
        loaded = true;
    }
}
