package quillomere.tarvex;

import java.util.function.Function;

/**
 * What every file object shares: the automation object it drives, which it releases on {@code
 * ReleaseCOMObject}, on {@code close} or, through {@link ComHandle#CLEANER}, after it has been
 * collected.
 */
abstract class ComFile implements AutoCloseable {
    /** The automation object of this file, its own: no other Java object uses it. */
    final ComHandle m_handle;

    /**
     * An object with no file. {@code shell} makes an object of the same class around a handle: the
     * cleaner releases the automation object through one after this object has been collected.
     */
    ComFile(Function<ComHandle, ? extends ComFile> shell) {
        m_handle = new ComHandle();
        ComHandle.CLEANER.register(this, releaser(m_handle, shell));
    }

    /** The object that releases an automation object: it shares the handle and nothing else. */
    ComFile(ComHandle handle) {
        m_handle = handle;
    }

    private static Runnable releaser(ComHandle handle, Function<ComHandle, ? extends ComFile> shell) {
        return () -> {
            try {
                shell.apply(handle).ReleaseCOMObject();
            } catch (Exception e) {
                // Nothing is left to tell: the Java object is gone.
            }
        };
    }

    /**
     * Releases the automation object.
     *
     * @return true when there was one
     * @throws Exception with the message of a failing step
     */
    public abstract boolean ReleaseCOMObject() throws Exception;

    /** Releases the automation object, as {@link #ReleaseCOMObject} does. */
    @Override
    public void close() throws Exception {
        ReleaseCOMObject();
    }
}
