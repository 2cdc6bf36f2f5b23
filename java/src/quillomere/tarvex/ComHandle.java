package quillomere.tarvex;

import java.lang.ref.Cleaner;

/**
 * The automation object that one file object drives. Only the native library reads and writes
 * the pointer; a file object releases it on {@code ReleaseCOMObject}, on {@code close} or, through
 * {@link #CLEANER}, after it has been collected.
 */
final class ComHandle {
    /** Releases the automation objects of collected file objects. */
    static final Cleaner CLEANER = Cleaner.create();

    /** The interface pointer of the automation object, or 0 when there is none. */
    long m_pObject;
}
