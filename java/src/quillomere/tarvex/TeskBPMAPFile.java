package quillomere.tarvex;

/**
 * A tiling-array probe map file. Set Name and LibPath, read, then fetch sequences.
 */
public class TeskBPMAPFile implements AutoCloseable {
    static {
        NativeLibrary.load();
    }

    /** Name: Set before the call that reads the file. */
    public String Name;
    /** LibPath: Set before the call that reads the file. */
    public String LibPath;
    /** NumberSequences: Filled by the native methods. */
    public int NumberSequences;

    /** The automation object of this file, its own: no other Java object uses it. */
    final ComHandle m_handle;

    /** Makes an object with no file; set the input fields, then read. */
    public TeskBPMAPFile() {
        m_handle = new ComHandle();
        ComHandle.CLEANER.register(this, releaser(m_handle));
    }

    // The object that releases an automation object after its Java object has been collected:
    // it shares the handle and nothing else.
    private TeskBPMAPFile(ComHandle handle) {
        m_handle = handle;
    }

    private static Runnable releaser(ComHandle handle) {
        return () -> {
            try {
                new TeskBPMAPFile(handle).ReleaseCOMObject();
            } catch (Exception e) {
                // Nothing is left to tell: the Java object is gone.
            }
        };
    }

    /** Releases the automation object, as {@link #ReleaseCOMObject} does. */
    @Override
    public void close() throws Exception {
        ReleaseCOMObject();
    }

    /**
     * Whether the file exists. Reads Name and LibPath.
     *
     * @return true when it exists
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native boolean Exists() throws Exception;

    /**
     * One sequence of the map.
     *
     * @param index index of the item, from 0
     * @return the sequence
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native TeskSequenceItem GetSequenceItem(int index) throws Exception;

    /**
     * Reads the file named by Name and LibPath, then fills NumberSequences.
     *
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native void Read() throws Exception;

    /**
     * Reads the header of the file named by Name and LibPath, then fills the header fields.
     *
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native void ReadHeader() throws Exception;

    /**
     * Releases this object's automation object; the next read makes a new one. Objects produced
     * from this one stop answering.
     *
     * @return true
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native boolean ReleaseCOMObject() throws Exception;

}
